# What an installation holds, the Windows resources of the executables and the Windows packages, and the Debian
# package:
#
#   cmake --install build --prefix DIR      the files below, under DIR
#   cd build && cpack -G DEB                 veltrin_<version>_<arch>.deb (make package)
#   cmake --build build-windows --target package_windows     the Windows setup and zip (make package-windows)
include(GNUInstallDirs)

set(VELTRIN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VELTRIN_MAINTAINER "Veltrin team <veltrin@users.noreply.example.org>")

install(TARGETS veltrin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET veltrin)
    install(TARGETS veltrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The icon and the version that Explorer shows for each executable; the window also takes its icon from it.
if(WIN32)
    set(VELTRIN_ICON_FILE ${VELTRIN_PACKAGING_DIR}/windows/veltrin.ico)
    foreach(VELTRIN_EXECUTABLE IN ITEMS veltrin veltrin-cli)
        if(NOT TARGET ${VELTRIN_EXECUTABLE})
            continue()
        endif()
        set(VELTRIN_MANIFEST_RESOURCE "")
        set(manifest "")
        if(VELTRIN_EXECUTABLE STREQUAL "veltrin")
            set(VELTRIN_FILE_DESCRIPTION "Veltrin")
            # 1 24: the manifest that the system reads when it starts the program (RT_MANIFEST).
            set(manifest ${CMAKE_BINARY_DIR}/packaging/veltrin.manifest)
            configure_file(${VELTRIN_PACKAGING_DIR}/windows/veltrin.manifest.in ${manifest} @ONLY)
            set(VELTRIN_MANIFEST_RESOURCE "1 24 \"${manifest}\"")
        else()
            set(VELTRIN_FILE_DESCRIPTION "Veltrin command-line companion")
        endif()
        set(resource_file ${CMAKE_BINARY_DIR}/packaging/${VELTRIN_EXECUTABLE}.rc)
        configure_file(${VELTRIN_PACKAGING_DIR}/windows/veltrin.rc.in ${resource_file} @ONLY)
        target_sources(${VELTRIN_EXECUTABLE} PRIVATE ${resource_file})
        set_property(SOURCE ${resource_file} TARGET_DIRECTORY ${VELTRIN_EXECUTABLE} APPEND PROPERTY
                     OBJECT_DEPENDS ${VELTRIN_ICON_FILE} ${manifest})
    endforeach()
    include(${CMAKE_CURRENT_LIST_DIR}/windows/WindowsPackages.cmake)
endif()

if(UNIX AND NOT APPLE)
    if(TARGET veltrin)
        install(FILES ${VELTRIN_PACKAGING_DIR}/linux/veltrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
        install(FILES ${VELTRIN_PACKAGING_DIR}/icons/veltrin.svg
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
        install(FILES ${VELTRIN_PACKAGING_DIR}/icons/veltrin-256.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME veltrin.png)
    endif()

    # The manual page quotes the version as the window shows it, the minor number in two digits (9 as 09).
    set(padded_minor "0${PROJECT_VERSION_MINOR}")
    string(LENGTH "${padded_minor}" padded_length)
    math(EXPR minor_start "${padded_length} - 2")
    string(SUBSTRING "${padded_minor}" ${minor_start} 2 shown_minor)
    set(VELTRIN_SHOWN_VERSION "${PROJECT_VERSION_MAJOR}.${shown_minor}")
    set(VELTRIN_MAN_PAGE ${CMAKE_BINARY_DIR}/packaging/veltrin-cli.1)
    configure_file(${VELTRIN_PACKAGING_DIR}/veltrin-cli.1.in ${VELTRIN_MAN_PAGE} @ONLY)
    set(man_pages ${VELTRIN_MAN_PAGE})
    if(TARGET veltrin)
        list(APPEND man_pages ${CMAKE_BINARY_DIR}/packaging/veltrin.1)
        configure_file(${VELTRIN_PACKAGING_DIR}/linux/veltrin.1.in ${CMAKE_BINARY_DIR}/packaging/veltrin.1 @ONLY)
    endif()
    set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
    configure_file(${VELTRIN_PACKAGING_DIR}/linux/changelog.in ${changelog} @ONLY)

    # Debian keeps manual pages and changelogs compressed; -n leaves the time out, so the same page gives the same
    # bytes.
    foreach(document IN LISTS man_pages changelog)
        add_custom_command(OUTPUT ${document}.gz
                           COMMAND gzip -9 -n -c ${document} > ${document}.gz
                           DEPENDS ${document}
                           VERBATIM)
        list(APPEND compressed ${document}.gz)
    endforeach()
    add_custom_target(veltrin_documents ALL DEPENDS ${compressed})
    list(TRANSFORM man_pages APPEND .gz)
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    # The licence, as Debian's machine-readable copyright file.
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
    string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" ignored "${licence}")
    set(holder "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "^.*${holder}\n\n" "" terms "${licence}")
    string(STRIP "${terms}" terms)
    string(REPLACE "\n\n" "\n.\n" terms "${terms}")
    string(REPLACE "\n" "\n " terms "${terms}")
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY CONTENT
         "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\nUpstream-Name: veltrin\n\n\
Files: *\nCopyright: ${holder}\nLicense: Expat\n ${terms}\n")
    install(FILES ${changelog}.gz ${CMAKE_BINARY_DIR}/packaging/copyright
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltrin)
    install(FILES ${PROJECT_SOURCE_DIR}/examples/Spectrum128_ROM0.asm
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veltrin/examples)
endif()

set(CPACK_PACKAGE_NAME veltrin)
set(CPACK_PACKAGE_VENDOR "Veltrin team")
set(CPACK_PACKAGE_CONTACT "${VELTRIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Derives the Spectrum +2 ROM 0 listings from the Spectrum 128 ROM 0 listing")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Veltrin derives, byte for byte, the annotated ROM 0 listings of the three"
       "Spectrum +2 models (English, Spanish and French) from the annotated Z80"
       "listing of ROM 0 of the Spectrum 128. It comes as a window, veltrin, and a"
       "command-line companion, veltrin-cli, with a sample listing.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# dpkg-shlibdeps names the libraries that the executables link: the Qt 6 widgets runtime, libstdc++, libc.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The package's files, checked by building the package into a folder of the test's own.
find_program(VELTRIN_DPKG_DEB dpkg-deb)
if(VELTRIN_BUILD_TESTS AND TARGET veltrin AND UNIX AND NOT APPLE AND NOT CMAKE_CROSSCOMPILING)
    if(VELTRIN_DPKG_DEB)
        add_test(NAME package_contents
                 COMMAND ${CMAKE_COMMAND} -D CPACK=${CMAKE_CPACK_COMMAND}
                         -D CPACK_CONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                         -D WORK_DIR=${CMAKE_BINARY_DIR}/package-check
                         -D EXPECTED=${VELTRIN_PACKAGING_DIR}/linux/package-files.txt -D VERSION=${PROJECT_VERSION}
                         -D BUILT_CLI=$<TARGET_FILE:veltrin-cli> -D MAN_PAGE=${VELTRIN_MAN_PAGE}
                         -D SAMPLE=${PROJECT_SOURCE_DIR}/examples/Spectrum128_ROM0.asm
                         -P ${PROJECT_SOURCE_DIR}/cmake/CheckPackage.cmake)
        # Building the package takes a while: 'make test-quick' (ctest -LE packaging) leaves it out.
        set_tests_properties(package_contents PROPERTIES LABELS packaging)
    else()
        message(STATUS "dpkg-deb not found: the Debian package is not built or checked by the tests")
    endif()
endif()
