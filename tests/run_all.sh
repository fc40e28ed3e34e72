#!/usr/bin/env bash
# Runs every test: the unit, GUI (offscreen) and real-window (Xvfb) tests of the normal build;
# the unit and GUI tests again in an AddressSanitizer + UndefinedBehaviorSanitizer build; then
# each fuzz target for a bounded time. The sanitizer build's monkey walks 10,000 steps (the normal
# build's 20,000) and each fuzz target runs 10 s, which keeps a clean clone's whole run, builds
# included, under eight minutes on two idle cores (465 s on 2026-12-10); PLIMO_MONKEY_STEPS and
# PLIMO_FUZZ_SECONDS give more. Exits non-zero when anything fails.
#   tests/run_all.sh [build-dir]         everything
#   PLIMO_FAST=1 tests/run_all.sh        the normal build's tests only
set -uo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
build=${1:-build}
failed=0
# Each part says how long it took, so that the run's ten minutes can be kept in view.
phase_start=$SECONDS
took() { echo "-- $1 took $((SECONDS - phase_start)) s"; phase_start=$SECONDS; }

echo "== Unit, GUI and end-to-end tests ($build)"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 || failed=1
took "the normal build's tests"

if [ -z "${PLIMO_FAST:-}" ]; then
  echo "== Unit and GUI tests under AddressSanitizer + UndefinedBehaviorSanitizer"
  # clang: it compiles this unoptimised build in two thirds of g++'s time, and its sanitizers
  # are the fuzz targets' own.
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPLIMO_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DPLIMO_BUILD_BENCH=OFF > /dev/null && cmake --build build-asan -j2 > build-asan.log 2>&1 \
    || { tail -50 build-asan.log; failed=1; }
  took "the sanitizer build"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  PLIMO_MONKEY_STEPS=${PLIMO_MONKEY_STEPS:-10000} \
    ctest --test-dir build-asan --output-on-failure -j2 --timeout 600 -L 'unit|gui' || failed=1
  took "the sanitizer build's tests"

  if [ -x tests/fuzz/run_fuzz.sh ]; then
    echo "== Fuzz targets"
    tests/fuzz/run_fuzz.sh "${PLIMO_FUZZ_SECONDS:-10}" build-fuzz || failed=1
    took "the fuzz build and its runs"
  fi
fi

if [ "$failed" -ne 0 ]; then
  echo "SOME TESTS FAILED"
  exit 1
fi
echo "ALL TESTS PASSED"
