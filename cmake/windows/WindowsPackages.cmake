# The two downloads of a Windows build, made by the target package_windows (make package-windows):
#
#   veltrin-<version>-setup.exe     an installer made with NSIS (Debian's nsis) from packaging/windows/veltrin.nsi.in
#   veltrin-<version>-windows.zip   the same files, to unpack and run
#
# Both hold veltrin.exe and veltrin-cli.exe, stripped, the README and the licence as text files, and the sample
# listing in examples/. The files are staged in package/veltrin-<version>/, which is also the zip's one folder.
find_program(VELTRIN_MAKENSIS makensis)
if(NOT VELTRIN_MAKENSIS OR NOT TARGET veltrin)
    message(STATUS "makensis or the window is missing: no Windows packages (package_windows)")
    return()
endif()

set(VELTRIN_PACKAGE_NAME veltrin-${PROJECT_VERSION})
set(VELTRIN_STAGE ${CMAKE_BINARY_DIR}/package/${VELTRIN_PACKAGE_NAME})
set(VELTRIN_SETUP ${CMAKE_BINARY_DIR}/${VELTRIN_PACKAGE_NAME}-setup.exe)
set(VELTRIN_ZIP ${CMAKE_BINARY_DIR}/${VELTRIN_PACKAGE_NAME}-windows.zip)
set(installer_script ${CMAKE_BINARY_DIR}/package/veltrin.nsi)
configure_file(${VELTRIN_PACKAGING_DIR}/windows/veltrin.nsi.in ${installer_script} @ONLY)

add_custom_command(
    OUTPUT ${VELTRIN_SETUP} ${VELTRIN_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VELTRIN_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELTRIN_STAGE}/examples
    COMMAND ${CMAKE_STRIP} -o ${VELTRIN_STAGE}/veltrin.exe $<TARGET_FILE:veltrin>
    COMMAND ${CMAKE_STRIP} -o ${VELTRIN_STAGE}/veltrin-cli.exe $<TARGET_FILE:veltrin-cli>
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md ${VELTRIN_STAGE}/README.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${VELTRIN_STAGE}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/examples/Spectrum128_ROM0.asm ${VELTRIN_STAGE}/examples/
    COMMAND ${VELTRIN_MAKENSIS} -V2 -NOCD ${installer_script}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${VELTRIN_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
            ${CMAKE_COMMAND} -E tar cf ${VELTRIN_ZIP} --format=zip ${VELTRIN_PACKAGE_NAME}
    DEPENDS veltrin veltrin-cli ${installer_script} ${VELTRIN_ICON_FILE} ${PROJECT_SOURCE_DIR}/README.md
            ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/examples/Spectrum128_ROM0.asm
    COMMENT "Making ${VELTRIN_PACKAGE_NAME}-setup.exe and ${VELTRIN_PACKAGE_NAME}-windows.zip"
    VERBATIM)
add_custom_target(package_windows DEPENDS ${VELTRIN_SETUP} ${VELTRIN_ZIP})

# Installs the setup silently into the build's Wine prefix, derives the sample's listings with the installed
# veltrin-cli.exe, uninstalls and checks that nothing is left; and that the zip holds what the setup installs.
if(VELTRIN_WINE AND VELTRIN_BUILD_TESTS)
    add_test(NAME windows_packages
             COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows-packages-test.sh ${VELTRIN_SETUP} ${VELTRIN_ZIP}
                     ${PROJECT_SOURCE_DIR}/tests/data)
    set_tests_properties(windows_packages PROPERTIES ENVIRONMENT "${VELTRIN_WINE_ENVIRONMENT};VELTRIN_WINE=${VELTRIN_WINE}"
                                                      LABELS packaging)
endif()
