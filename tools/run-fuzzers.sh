#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and runs each for a while; fails when one
# finds a crash, a leak, undefined behaviour or an input that takes too long.
#   tools/run-fuzzers.sh [seconds per target, default 30] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
build=build/fuzz

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in tests/fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

mkdir -p "$build/findings" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    # New inputs go to a corpus of the build; the starting inputs in the repository stay as they are.
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    log="$build/logs/$target.log"
    echo "fuzzing $target for ${seconds}s"
    # Inputs start as long as the longest in the corpus and grow as shorter ones stop finding
    # anything new (-len_control, which the custom mutator would otherwise turn off): a run of
    # seconds stays with inputs of a few KB, fast, and nesting past the readers' bound of 64
    # takes a few hundred bytes. Long runs grow them up to -max_len.
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz_$target" -max_total_time="$seconds" -max_len=32768 -len_control=100 -timeout=10 \
        -rss_limit_mb=4096 -dict="tests/fuzz/$target.dict" -artifact_prefix="$build/findings/$target-" \
        -print_final_stats=1 "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        echo "  $target: ${runs:-?} runs, ${rate:-?} per second, no finding"
    else
        echo "  $target: FAILED, see $log and $build/findings/"
        grep -E "^(==[0-9]+==ERROR|SUMMARY)|runtime error" "$log" | head -5 || true
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz findings in: ${failed[*]}"
    exit 1
fi
