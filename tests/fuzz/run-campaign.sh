#!/bin/bash
# Runs a libFuzzer campaign on the fuzz targets: builds them with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own, then fuzzes each target for
# FUZZ_SECONDS (default 600) from its seed corpus, FUZZ_JOBS targets at a time (default 3), with
# leak checks on (known library leaks: tests/fuzz/lsan.supp).
#   tests/fuzz/run-campaign.sh               every target
#   tests/fuzz/run-campaign.sh jet_run help  the targets named
# New inputs go to <build>/fuzz-work/<target>, findings to <build>/fuzz-findings/<target>;
# the exit status is non-zero when any target found something. Copy a finding into the target's
# corpus folder, with the fix, so that ctest replays it from then on.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-600}
jobs=${FUZZ_JOBS:-3}

if ! command -v clang++ >/dev/null; then
    echo "clang is needed for a campaign (apt-get install clang)" >&2
    exit 2
fi

flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null

if [ $# -gt 0 ]; then
    targets="$*"
else
    targets=$(cut -d' ' -f1 "$build/fuzz-targets.txt")
fi
cmake --build "$build" -j4 --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done) >/dev/null

run_one() {
    local name=$1 corpus work findings status
    corpus=$(awk -v n="$name" '$1 == n { print $2 }' "$build/fuzz-targets.txt")
    work=$build/fuzz-work/$name
    findings=$build/fuzz-findings/$name
    mkdir -p "$work" "$findings"
    status=0
    # Leaks count as faults, less the known library leaks of lsan.supp. A suppression matches a
    # function by name on the allocating stack; libzip has no frame pointers, so the unzip target
    # records its stacks with the slower unwinder, or the name would never be seen.
    local asan=detect_leaks=1
    [ "$name" = unzip ] && asan=$asan:fast_unwind_on_malloc=0
    # Sanitizers stop at the first fault; a unit slower than 10 s counts as a hang.
    ASAN_OPTIONS=$asan LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0 \
        QT_QPA_PLATFORM=offscreen \
        "$build/$(find "$build" -name "fuzz_$name" -type f -executable -printf '%P\n' | head -1)" \
        -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
        -artifact_prefix="$findings/" "$work" "$corpus" >"$build/fuzz-$name.log" 2>&1 || status=$?
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz-$name.log" | grep -o '[0-9]*$' || true)
    if [ "$status" -eq 0 ] && [ -z "$(ls -A "$findings")" ]; then
        echo "$name: no finding in ${seconds}s (${runs:-?} runs)"
    else
        echo "$name: FINDING (exit $status), see $build/fuzz-$name.log and $findings"
        return 1
    fi
}
export -f run_one
export build seconds root

printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c 'run_one {}'
