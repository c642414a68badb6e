# The floors of src/, one folder and one library each: toolkit, generators, files, commands, then window and cli
# on top. A floor includes only its own headers and those of the floors below it that it names, only the Qt window
# sees Qt, and only the floors that call Windows themselves (the Windows window, veltrin-cli and the file layer's
# Windows half) see the Windows headers. veltrin_floor() checks that as part of the build, so a wrong include
# fails it.
#
#   veltrin_floor(TARGET MAY_INCLUDE floor... [QT] [WINDOWS])
set(VELTRIN_FLOOR_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckFloorIncludes.cmake)

function(veltrin_floor target)
    cmake_parse_arguments(PARSE_ARGV 1 FLOOR "QT;WINDOWS" "" "MAY_INCLUDE")
    get_filename_component(floor ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes-checked)
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${CMAKE_COMMAND} "-DFLOOR=${floor}" "-DMAY_INCLUDE=${floor};${FLOOR_MAY_INCLUDE}"
                               "-DQT=${FLOOR_QT}" "-DWINDOWS=${FLOOR_WINDOWS}" "-DFILES=${files}" -P ${VELTRIN_FLOOR_CHECK}
                       COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                       DEPENDS ${files} ${VELTRIN_FLOOR_CHECK}
                       COMMENT "Checking the includes of src/${floor}"
                       VERBATIM)
    target_sources(${target} PRIVATE ${stamp})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PRIVATE veltrin_warnings)
endfunction()
