#!/usr/bin/env bash
# Builds the benchmark, veltrin-cli and the copying process in build-bench and runs the benchmark (arguments go
# to it). Its summary checks the targets: the conversion against the floor, the cost a line from 1x to 100x, the
# peak memory of a 100x veltrin-cli run, and a 1x veltrin-cli process against a process that only copies.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIN_BUILD_BENCH=ON -DVELTRIN_BUILD_TESTS=OFF \
    -DVELTRIN_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target veltrin_bench >/dev/null

"$build/bin/veltrin_bench" "$@"
