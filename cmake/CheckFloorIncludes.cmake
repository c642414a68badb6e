# Fails when a file of a floor of src/ includes a header of a floor that it may not include, a Qt header outside
# the Qt window, or a header of the Windows API in a floor that does not call Windows itself.
#
#   cmake -D FLOOR=name -D "MAY_INCLUDE=floor;..." -D QT=ON|OFF -D WINDOWS=ON|OFF -D "FILES=file;..."
#         -P CheckFloorIncludes.cmake
cmake_policy(VERSION 3.25)
set(wrong "")
foreach(file IN LISTS FILES)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        if(line MATCHES "include[ \t]*\"([A-Za-z0-9_]+)/" AND NOT CMAKE_MATCH_1 IN_LIST MAY_INCLUDE)
            string(APPEND wrong "\n  ${file}: ${line}")
        elseif(line MATCHES "include[ \t]*<Q" AND NOT QT)
            string(APPEND wrong "\n  ${file}: ${line} (Qt belongs to the Qt window)")
        elseif(line MATCHES "include[ \t]*<(windows|windowsx|commctrl|shellapi|shlobj|shlwapi|objbase|ole2)\\.h>"
               AND NOT WINDOWS)
            string(APPEND wrong "\n  ${file}: ${line} (the Windows API belongs to the floors that call Windows)")
        endif()
    endforeach()
endforeach()
if(wrong)
    list(JOIN MAY_INCLUDE ", " allowed)
    message(FATAL_ERROR "src/${FLOOR} may include only ${allowed}:${wrong}")
endif()
