#!/usr/bin/env bash
# Fuzzes the targets of tests/fuzz for hours before a release, as many at a time as there are
# cores, and merges what they find (-merge=1) into a minimised corpus per target under
# build/fuzz/release/minimised/<target>: the inputs of tests/fuzz/corpus/<target> plus those
# new ones that reach something they do not. Copy the new files into tests/fuzz/corpus/<target>
# to start CI from there (keep it small: a few hundred KB for all targets together). The working
# corpora in build/fuzz/release/corpus/ stay, so the next run goes on from them. Crashes, leaks,
# undefined behaviour and slow inputs go to build/fuzz/release/findings/; then the script fails.
#   tools/fuzz-release.sh [hours for all targets together, default 8] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
hours=${1:-8}
shift || true
build=build/fuzz
release=$build/release
# Documents are read in pieces of 64 Ki characters: longer inputs reach the joins. Inputs grow
# to this length over the first hour or so.
max_len=131072

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
jobs=$(nproc)
rounds=$(((${#targets[@]} + jobs - 1) / jobs))
seconds=$(awk -v h="$hours" -v r="$rounds" 'BEGIN { s = int(h * 3600 / r); print (s > 0 ? s : 1) }')
echo "fuzzing ${#targets[@]} targets for ${seconds}s each, $jobs at a time"

mkdir -p "$release/findings" "$release/logs"
started=$release/started
touch "$started"
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

fuzz() {
    local target=$1 corpus=$release/corpus/$1 log=$release/logs/$1.log
    mkdir -p "$corpus"
    if "$build/fuzz_$target" -max_total_time="$seconds" -max_len=$max_len -len_control=100 -timeout=10 \
        -rss_limit_mb=4096 -dict="tests/fuzz/$target.dict" -artifact_prefix="$release/findings/$target-" \
        -print_final_stats=1 "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "  $target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") runs," \
            "$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log") per second, no finding"
    else
        echo "  $target: FAILED, see $log and $release/findings/"
    fi
}

for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    fuzz "$target" &
done
wait

for target in "${targets[@]}"; do
    minimised=$release/minimised/$target
    rm -rf "$minimised"
    mkdir -p "$minimised"
    cp tests/fuzz/corpus/"$target"/* "$minimised"/
    log=$release/logs/$target-merge.log
    if ! "$build/fuzz_$target" -merge=1 -max_len=$max_len -timeout=10 -rss_limit_mb=4096 \
        "$minimised" "$release/corpus/$target" >"$log" 2>&1; then
        echo "  $target: merge FAILED, see $log"
        continue
    fi
    new=$(comm -13 <(ls tests/fuzz/corpus/"$target") <(ls "$minimised") | wc -l)
    echo "  $target: $new new inputs in $minimised ($(cat "$minimised"/* | wc -c) bytes in all)"
done

findings=$(find "$release/findings" -type f -newer "$started")
if [ -n "$findings" ]; then
    echo "fuzz findings:"
    echo "$findings"
    exit 1
fi
