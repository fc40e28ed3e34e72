#!/usr/bin/env bash
# Runs every test of a build folder: unit and GUI tests (offscreen), then the real-window tests
# (each starts its own Xvfb).
set -euo pipefail
build=${1:-build}
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
