# The Windows program's resource file compiles with mingw-w64's resource compiler and holds the
# icon at its three sizes and the version the project has.
#   cmake -DWINDRES=<x86_64-w64-mingw32-windres> -DRC=<build>/src/mirravel.rc -DOUT=<scratch .res>
#         -DVERSION=<x.y> -P windows_resource.cmake
execute_process(COMMAND "${WINDRES}" -i "${RC}" -O res -o "${OUT}" RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "${WINDRES} cannot compile ${RC}:\n${err}")
endif()
# Read back as resource script text, without the icons' pixel data.
execute_process(COMMAND "${WINDRES}" -i "${OUT}" -J res -O rc RESULT_VARIABLE code OUTPUT_VARIABLE text ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "${WINDRES} cannot read back ${OUT}:\n${err}")
endif()
string(REGEX REPLACE "\n  0x[^\n]*" "" text "${text}")

string(REGEX MATCHALL "[0-9]+ 3 /\\* RT_ICON \\*/" icons "${text}")
list(LENGTH icons icon_count)
if(NOT icon_count EQUAL 3 OR NOT text MATCHES "RT_GROUP_ICON[^\n]*\n[^\n]*\n[^\n]*Has 3 elements")
  message(SEND_ERROR "Expected one icon of three sizes (64, 32, 16 pixels) in:\n${text}")
endif()
string(REPLACE "." ", " numbers "${VERSION}")
foreach(expected "FILEVERSION ${numbers}" "VALUE \"FileVersion\", \"${VERSION}\""
                 "VALUE \"ProductVersion\", \"${VERSION}\"" "VALUE \"ProductName\", \"Mirravel\""
                 "VALUE \"OriginalFilename\", \"mirravel.exe\"" "VALUE \"LegalCopyright\", \"Copyright ")
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "The version resource lacks ${expected}:\n${text}")
  endif()
endforeach()
