# Cross-compiles Veltrin for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix): the window
# drawn with the Windows API (veltrin.exe), veltrin-cli.exe and the tests, and runs what it builds under Wine
# (wine, wine64), so that ctest runs the Windows tests on Linux:
#
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
#
# GoogleTest is built from the sources in /usr/src/googletest (Debian's googletest) for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELTRIN_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour, because the win32 flavour of libstdc++ has no std::thread.
set(CMAKE_C_COMPILER ${VELTRIN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRIN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRIN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELTRIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++, libgcc or winpthread DLLs to copy beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(VELTRIN_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELTRIN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VELTRIN_WINE})
endif()

set(VELTRIN_BUILD_BENCH OFF CACHE BOOL "Build the benchmarks")
# Builds GoogleTest for the target and adds the tests that only a Windows build has.
set(CMAKE_PROJECT_Veltrin_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/windows/CrossBuild.cmake)
