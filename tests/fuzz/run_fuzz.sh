#!/usr/bin/env bash
# Builds the libFuzzer targets of the Qt-free layers and runs each for a bounded time on a copy of
# its seed corpus (the committed corpus never grows), as many at once as there are processors.
#   tests/fuzz/run_fuzz.sh [seconds-per-target] [build-dir]
# The test command runs 10 s per target; the nightly run is the same script with more time
# (half an hour per target):
#   tests/fuzz/run_fuzz.sh 1800
# A crashing input is kept in <build-dir>/artifacts/; rerun it with
#   <build-dir>/fuzz_<name> <build-dir>/artifacts/<file>
set -uo pipefail

seconds=${1:-20}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${2:-$root/build-fuzz}

if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
    echo "usage: $0 [seconds-per-target] [build-dir]" >&2
    exit 2
fi

mkdir -p "$build"
if ! cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        >"$build/configure.log" 2>&1; then
    tail -n 40 "$build/configure.log" >&2
    echo "fuzz build: configuration failed (full log: $build/configure.log)" >&2
    exit 1
fi
if ! cmake --build "$build" -j2 >"$build/build.log" 2>&1; then
    tail -n 40 "$build/build.log" >&2
    echo "fuzz build: compilation failed (full log: $build/build.log)" >&2
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/plimo-fuzz-run.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"

# One target's run, its verdict in "$build/<name>.verdict".
fuzz_one() {
    local name=$1 corpus="$work/$1" log="$build/$1.log" status runs
    mkdir -p "$corpus"
    cp "$here/corpus/$name/"* "$corpus/" 2>/dev/null
    "$build/$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$name-" -print_final_stats=0 "$corpus" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
    if ((status == 0)) && [[ -n $runs ]]; then
        echo "$name: $runs runs, OK" >"$build/$name.verdict"
    else
        {
            echo "$name: FAILED (exit $status)"
            grep -A3 -E "PROPERTY VIOLATED|ERROR: (libFuzzer|AddressSanitizer|UndefinedBehaviorSanitizer)|runtime error" \
                "$log" | head -n 20
            grep -E "^artifact_prefix|Test unit written to" "$log"
            echo "  full log: $log"
        } >"$build/$name.verdict"
        return 1
    fi
}

# As many targets at once as there are processors: each runs on one.
jobs=$(nproc 2>/dev/null || echo 1)
names=()
for source in "$here"/fuzz_*.cpp; do
    names+=("$(basename "$source" .cpp)")
done
running=0
for name in "${names[@]}"; do
    rm -f "$build/$name.verdict"
    fuzz_one "$name" &
    running=$((running + 1))
    if ((running >= jobs)); then
        wait -n
        running=$((running - 1))
    fi
done
wait

passed=0
failed=0
for name in "${names[@]}"; do
    cat "$build/$name.verdict" 2>/dev/null || echo "$name: FAILED (no verdict)"
    if grep -q ", OK$" "$build/$name.verdict" 2>/dev/null; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
done

echo "$passed passed, $failed failed"
((failed == 0))
