#!/usr/bin/env bash
# Builds the benchmark and veltrin-cli in build-bench and runs the benchmark (arguments go to it). It times whole
# veltrin-cli processes at 1, 10 and 100 times a real listing's length against the shell's copy of the same run
# (cat to three files, then sync), and its summary checks the targets: a veltrin-cli process at 1x and at 100x
# against that floor, the cost a line from 1x to 100x, and the peak memory of a 100x veltrin-cli run.
# To profile a run, write a large listing with 'veltrin_bench --write-scaled=100 --output=FILE' and run
# veltrin-cli on it under perf.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIN_BUILD_BENCH=ON -DVELTRIN_BUILD_TESTS=OFF \
    -DVELTRIN_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target veltrin_bench >/dev/null

"$build/bin/veltrin_bench" "$@"
