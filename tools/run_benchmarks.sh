#!/usr/bin/env bash
# Builds the editor and every benchmark in Release, runs them one after the other, then measures
# the real editor's start-up time and memory in its own Xvfb (tools/startup_figures.py). Each
# program's console output and JSON go to the results folder; bench/README.md's table is filled
# from one such run.
#
#   tools/run_benchmarks.sh [BUILD_DIR [RESULTS_DIR]]
#
# BUILD_DIR defaults to build-release, RESULTS_DIR to BUILD_DIR/bench-results.
# PLIMO_BENCH_LARGE=1 adds the 200 MB pass (about a minute and 1.6 GB of memory), run in a
# process of its own so that its peak memory is its own.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

build=${1:-build-release}
results=${2:-$build/bench-results}
mkdir -p "$results"

benches=()
for source in bench/bench_*.cpp; do
  benches+=("$(basename "$source" .cpp)")
done

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > "$results/configure.log"
cmake --build "$build" -j2 --target plimo "${benches[@]}" > "$results/build.log"

{
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "commit: $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
  echo "cpu: $(nproc) x $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "memory: $(free -g | awk '/^Mem:/ {print $2 " GB"}')"
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "qt: $(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo unknown)"
} > "$results/machine.txt"
cat "$results/machine.txt"

large=${PLIMO_BENCH_LARGE:-}
unset PLIMO_BENCH_LARGE
export QT_QPA_PLATFORM=offscreen
for name in "${benches[@]}"; do
  echo "== $name"
  "$build/bench/$name" --benchmark_out="$results/$name.json" --benchmark_out_format=json \
    2>"$results/$name.stderr" | tee "$results/$name.txt"
done

if [ -n "$large" ]; then
  # The bench resets the kernel's peak before each step to get the step's own peak, which also
  # lowers the maximum that getrusage and time(1) report: read the per-step peaks.
  echo "== bench_documents, 200 MB"
  PLIMO_BENCH_LARGE=1 "$build/bench/bench_documents" --benchmark_filter=Large200 \
    --benchmark_out="$results/large200.json" --benchmark_out_format=json \
    2>"$results/large200.stderr" | tee "$results/large200.txt"
fi

unset QT_QPA_PLATFORM
echo "== start-up"
python3 tools/startup_figures.py "$build/plimo" --json "$results/startup.json" \
  | tee "$results/startup.txt"

echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)" >> "$results/machine.txt"
echo "results in $results"
