#!/usr/bin/env bash
# Builds the editor and every benchmark in Release, runs them one after the other, then measures
# the real editor's start-up time and memory in its own Xvfb (tools/startup_figures.py). Each
# program's console output and JSON go to the results folder; bench/README.md's table is filled
# from one such run.
#
#   tools/run_benchmarks.sh [BUILD_DIR [RESULTS_DIR]]
#
# BUILD_DIR defaults to build-release, RESULTS_DIR to BUILD_DIR/bench-results.
# bench_documents needs about 1.6 GB free under TMPDIR and about 3 GB of memory (its 1 GiB
# open); it measures memory in child processes of its own, one per file, so that no text freed
# before misleads the figures.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

build=${1:-build-release}
results=${2:-$build/bench-results}
mkdir -p "$results"
# Absolute: the benchmarks work in a temporary folder of their own.
results=$(cd "$results" && pwd)

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

export QT_QPA_PLATFORM=offscreen
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-/usr/share/fonts/truetype/dejavu}
for name in "${benches[@]}"; do
  echo "== $name"
  "$build/bench/$name" --benchmark_out="$results/$name.json" --benchmark_out_format=json \
    2>"$results/$name.stderr" | tee "$results/$name.txt"
done

unset QT_QPA_PLATFORM QT_QPA_FONTDIR
echo "== start-up"
python3 tools/startup_figures.py "$build/plimo" --json "$results/startup.json" \
  | tee "$results/startup.txt"

echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)" >> "$results/machine.txt"
echo "results in $results"
