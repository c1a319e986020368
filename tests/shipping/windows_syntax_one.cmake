# Compiles one source of the program with mingw-w64's compiler in syntax-only mode, with the
# target's own include folders, definitions and warnings, against Qt's headers as a Windows build
# sees them (the win32-g++ mkspec in place of this system's), and writes the exit code and what
# the compiler said to RESULT; RESULT.d lists the files it read, so the build checks again when
# one changes.
#   cmake -DCXX=<x86_64-w64-mingw32-g++-posix> -DSOURCE=<file> -DRESULT=<file> -DINCLUDES=<list>
#         -DDEFINITIONS=<list> -DOPTIONS=<list> -DOWN_FOLDERS=<source and build folders>
#         -P windows_syntax_one.cmake

set(arguments -std=gnu++20 -fsyntax-only ${OPTIONS})
# What Qt's MinGW build defines for the programs that use it.
foreach(definition UNICODE _UNICODE WIN32 WIN64 MINGW_HAS_SECURE_API=1 ${DEFINITIONS})
  list(APPEND arguments "-D${definition}")
endforeach()
foreach(folder IN LISTS INCLUDES)
  # This system's own header folder holds its C library; mingw-w64 brings Windows's (sql.h too).
  if(folder MATCHES "^/usr(/local)?/include/?$")
    continue()
  endif()
  string(REGEX REPLACE "/mkspecs/[^/]+/?$" "/mkspecs/win32-g++" folder "${folder}")
  set(kind -isystem)
  foreach(own IN LISTS OWN_FOLDERS)
    string(FIND "${folder}/" "${own}/" at)
    if(at EQUAL 0)
      set(kind -I)
    endif()
  endforeach()
  list(APPEND arguments ${kind} "${folder}")
endforeach()

# The compiler writes RESULT.d and cannot make its folder.
get_filename_component(folder "${RESULT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${CXX}" ${arguments} -MD -MF "${RESULT}.d" -MT "${RESULT}" "${SOURCE}"
                RESULT_VARIABLE code OUTPUT_VARIABLE said ERROR_VARIABLE said)
file(WRITE "${RESULT}" "exit ${code}\n${said}")
