# Included right after project() in a build made with cmake/mingw-w64-x86_64.cmake.
#
# Runs the Windows executables under Wine in a Wine prefix of the build's own, builds GoogleTest for the target
# from Debian's sources, and leaves out the process tests that drive the command-line companion through a POSIX
# shell (and the assembler checks, which start it from one): the packages' test (WindowsPackages.cmake) drives the
# installed veltrin-cli.exe under Wine instead.

# A release build is -O2, as the Linux build is, without debug information: the packages ship the programs stripped,
# and the cross build takes a fifth less time without it. (GCC 12's -O3 warns of overlapping copies that are not.)
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

if(VELTRIN_WINE)
    set(VELTRIN_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
    set(VELTRIN_WINE_ENVIRONMENT WINEPREFIX=${VELTRIN_WINE_PREFIX} WINEDEBUG=-all LC_ALL=C.UTF-8)
    # Also used by gtest_discover_tests to list each test binary's tests. That happens when ctest starts rather
    # than right after linking: a Wine process that starts while the compilers take both cores can outlast
    # the few seconds that the listing is given.
    set(CMAKE_CROSSCOMPILING_EMULATOR env ${VELTRIN_WINE_ENVIRONMENT} ${VELTRIN_WINE})
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
    if(NOT EXISTS ${VELTRIN_WINE_PREFIX}/system.reg)
        # Made once, here, so that parallel test runs do not race to make it.
        message(STATUS "Creating the Wine prefix ${VELTRIN_WINE_PREFIX}")
        execute_process(COMMAND env ${VELTRIN_WINE_ENVIRONMENT} ${VELTRIN_WINE} wineboot --init
                        RESULT_VARIABLE wineboot_result OUTPUT_QUIET ERROR_QUIET)
        find_program(VELTRIN_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine)
        if(VELTRIN_WINESERVER)
            execute_process(COMMAND env ${VELTRIN_WINE_ENVIRONMENT} ${VELTRIN_WINESERVER} --wait)
        endif()
        if(NOT wineboot_result EQUAL 0 OR NOT EXISTS ${VELTRIN_WINE_PREFIX}/system.reg)
            message(FATAL_ERROR "Wine could not create the prefix ${VELTRIN_WINE_PREFIX}")
        endif()
    endif()
else()
    message(WARNING "Wine (Debian's wine and wine64) was not found: the Windows tests cannot run here")
endif()

if(DEFINED VELTRIN_BUILD_TESTS AND NOT VELTRIN_BUILD_TESTS)
    return()
endif()

set(VELTRIN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${VELTRIN_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${VELTRIN_GOOGLETEST_SOURCE}: install Debian's googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its CMakeLists.txt names the libraries GTest::gtest, GTest::gtest_main, GTest::gmock and GTest::gmock_main,
# as find_package(GTest) would; the configuration in gtest-config/ only confirms that they are there.
add_subdirectory(${VELTRIN_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR}/gtest-config CACHE PATH "GoogleTest built from source" FORCE)

function(veltrin_windows_cli_tests)
    if(NOT TARGET cli_tests)
        return()
    endif()
    # cli_tests starts veltrin-cli through a POSIX shell (cd, quotes, wait status), which Windows does not have.
    set_target_properties(cli_tests PROPERTIES EXCLUDE_FROM_ALL ON)
    get_target_property(cli_tests_folder cli_tests SOURCE_DIR)
    get_property(test_lists DIRECTORY ${cli_tests_folder} PROPERTY TEST_INCLUDE_FILES)
    list(FILTER test_lists EXCLUDE REGEX "/cli_tests\\[[0-9]+\\]_include\\.cmake$")
    set_property(DIRECTORY ${cli_tests_folder} PROPERTY TEST_INCLUDE_FILES ${test_lists})
    # The assembler checks start veltrin-cli straight from a shell, which cannot start a Windows executable;
    # windows_packages derives the sample's listings with the installed veltrin-cli.exe byte for byte as the goldens,
    # which those checks cover.
    get_property(test_folders DIRECTORY ${PROJECT_SOURCE_DIR}/tests PROPERTY SUBDIRECTORIES)
    if(${PROJECT_SOURCE_DIR}/tests/assembler IN_LIST test_folders)
        get_property(assembler_tests DIRECTORY ${PROJECT_SOURCE_DIR}/tests/assembler PROPERTY TESTS)
        list(JOIN assembler_tests " " ignored)
        message(STATUS "ctest leaves out in this build: ${ignored}")
        file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/CTestCustom.cmake
             CONTENT "set(CTEST_CUSTOM_TESTS_IGNORE ${ignored})\n")
    endif()
    if(NOT VELTRIN_WINE)
        return()
    endif()
    # The killed runs of veltrin-cli.exe and of the window veltrin.exe (on a virtual X display): Ctrl-C, and ended as
    # Task Manager ends a program. Alone, as the backups of every run under this prefix go to the one state folder
    # that the killed runs watch.
    execute_process(COMMAND id -un OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
    add_test(NAME windows_killed_runs
             COMMAND xvfb-run -a -s "-screen 0 1024x768x24" bash ${PROJECT_SOURCE_DIR}/tests/cli/killed_runs.sh
                     $<TARGET_FILE:veltrin-cli> ${PROJECT_SOURCE_DIR}/examples/Spectrum128_ROM0.asm 12
                     $<TARGET_FILE:window_driver> --run $<TARGET_FILE:veltrin>)
    set_tests_properties(windows_killed_runs PROPERTIES RUN_SERIAL ON TIMEOUT 600 ENVIRONMENT
        "${VELTRIN_WINE_ENVIRONMENT};VELTRIN_RUNNER=${VELTRIN_WINE};VELTRIN_SIGNALS=INT KILL;VELTRIN_STATE_FOLDER=${VELTRIN_WINE_PREFIX}/drive_c/users/${user}/AppData/Local/veltrin")
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL veltrin_windows_cli_tests)
