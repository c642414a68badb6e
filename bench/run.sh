#!/usr/bin/env bash
# Builds the benchmark and the command-line companion in build-bench and runs the benchmark (arguments go to
# it), then measures the peak memory of one whole conversion of a listing 100 times the real length.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIN_BUILD_BENCH=ON -DVELTRIN_BUILD_TESTS=OFF \
    -DVELTRIN_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target veltrin_bench veltrin-cli >/dev/null

"$build/bin/veltrin_bench" "$@"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
source="$scratch/Spectrum128_ROM0.asm"
"$build/bin/veltrin_bench" --write-scaled=100 --output="$source"
/usr/bin/time -v "$build/bin/veltrin-cli" --source "$source" --english "$scratch/english.asm" \
    --spanish "$scratch/spanish.asm" --french "$scratch/french.asm" >/dev/null 2>"$scratch/time.txt"
peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$scratch/time.txt")
files=$(stat -c %s "$source" "$scratch/english.asm" "$scratch/spanish.asm" "$scratch/french.asm" | awk '{s += $1} END {print s}')
awk -v peak="$peak_kb" -v files="$files" 'BEGIN {
    printf "\nPeak memory of one 100x run: %.1f MiB; source + three outputs: %.1f MiB; ratio %.2f (target: under 4)\n",
        peak / 1024, files / 1048576, peak * 1024 / files
}'
