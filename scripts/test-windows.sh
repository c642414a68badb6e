#!/usr/bin/env bash
# Cross-compiles Veltrin for 64-bit Windows with mingw-w64: the core and its tests, veltrin-cli.exe, the window
# veltrin.exe and its test driver, and the setup and zip; then runs the tests under Wine: the core's GoogleTest
# suites, the window's rows on a virtual X display, the killed runs, and scripts/windows-packages-test.sh, the
# setup's round trip, which also drives the installed veltrin-cli.exe.
#
#   scripts/test-windows.sh [BUILD-FOLDER]      (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 nsis

cmake -S . -B "$build" --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

# One Wine server for the whole build and test run: when each Wine process starts its own, one that starts
# just as the previous server is leaving can lose its connection.
export WINEPREFIX=$PWD/$build/wine-prefix WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
"$wineserver" --persistent
trap '"$wineserver" --kill || true' EXIT
# The first Wine process of a server starts Wine's own services, which takes a while; later ones are quick.
wine cmd /c exit

cmake --build "$build" -j "${JOBS:-2}" --target all package_windows
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}"
