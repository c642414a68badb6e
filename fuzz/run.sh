#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each for FUZZ_SECONDS seconds (default 60).
# FUZZ_TARGETS picks targets (default: all three). Exits non-zero when any target finds a crash, a sanitizer
# report, a leak, a time-out or a broken invariant; the input that caused it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-relocation primitives conversion}
build=build-fuzz

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "${JOBS:-2}" >/dev/null

status=0
for target in $targets; do
    mkdir -p "$build/corpus/$target" "$build/findings/$target"
    log="$build/$target.log"
    echo "fuzz_$target: ${seconds}s"
    if "$build/fuzz_$target" "$build/corpus/$target" "fuzz/corpus/$target" -dict=fuzz/listing.dict \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target/" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done ' "$log" | sed 's/^/  /'
    else
        status=1
        echo "  FINDING: see $log and $build/findings/$target/"
        grep -E 'INVARIANT BROKEN|ERROR: |SUMMARY: |runtime error|Test unit written' "$log" | head -20 | sed 's/^/  /'
    fi
done
exit "$status"
