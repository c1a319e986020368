# mirravel --version and --help answer on the command line without a display, as desktop
# programs do; Qt's own options are left to Qt and the program starts as usual, and anything else
# is refused with exit code 2. The manual page documents every option --help lists.
#   cmake -DPROGRAM=<mirravel> -DVERSION=<x.y> -DMANUAL=<packaging/mirravel.1> -P command_line.cmake

# A display number nothing serves: no socket, no lock.
set(unused_display "")
foreach(number RANGE 700 799)
  if(NOT EXISTS "/tmp/.X11-unix/X${number}" AND NOT EXISTS "/tmp/.X${number}-lock")
    set(unused_display ":${number}")
    break()
  endif()
endforeach()

macro(run_case)
  set(environment --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
  if(display)
    list(APPEND environment "DISPLAY=${display}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} "${PROGRAM}" ${args}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
endmacro()

macro(fail what)
  message(SEND_ERROR "mirravel ${args} (DISPLAY='${display}'): expected ${what}\n"
                     "exit: ${code}\nstdout:\n${out}\nstderr:\n${err}")
endmacro()

foreach(display "" "${unused_display}")
  foreach(args "--version" "-v" "--version;--help" "-platform;offscreen;--version")
    run_case()
    if(NOT code STREQUAL "0")
      fail("exit code 0")
    endif()
    if(NOT out STREQUAL "Mirravel ${VERSION}\n")
      fail("the product and its version on one line")
    endif()
    if(NOT err STREQUAL "")
      fail("nothing on stderr")
    endif()
  endforeach()

  foreach(args "--help" "-h" "-platform;offscreen;--help")
    run_case()
    if(NOT code STREQUAL "0")
      fail("exit code 0")
    endif()
    if(NOT out MATCHES "^Usage: [^\n]*mirravel[^\n]* \\[options\\]\n")
      fail("a usage line first")
    endif()
    if(NOT out MATCHES "Copies tables between two Oracle databases")
      fail("what the program does")
    endif()
    if(NOT out MATCHES "-h, --help" OR NOT out MATCHES "-v, --version"
       OR NOT out MATCHES "--odbc-driver <name>" OR NOT out MATCHES "--odbc-drivers" OR NOT out MATCHES "--batch-rows <N>")
      fail("every option")
    endif()
    if(out MATCHES "help-all")
      fail("no --help-all: the Qt options it promises are known only to the GUI application")
    endif()
    if(NOT err STREQUAL "")
      fail("nothing on stderr")
    endif()
    # Each long option as roff writes it, with its hyphens escaped: --help is \-\-help.
    file(READ "${MANUAL}" manual)
    string(REGEX MATCHALL "--[a-z][a-z-]*" options "${out}")
    foreach(option IN LISTS options)
      string(REPLACE "-" "\\-" roff "${option}")
      string(FIND "${manual}" "${roff}" at)
      if(at EQUAL -1)
        fail("${option} documented in ${MANUAL}")
      endif()
    endforeach()
  endforeach()

  # The installed ODBC drivers, the one in use marked with the keyword the SID goes in, told by its
  # library: Oracle's under Microsoft's name too, as older guides registered it.
  set(odbc_config "${CMAKE_CURRENT_BINARY_DIR}/command_line_odbc")
  file(WRITE "${odbc_config}/odbcinst.ini"
       "[ODBC]\nTrace=No\n\n[PostgreSQL Unicode]\nDriver=/nowhere/psqlodbcw.so\n\n"
       "[Oracle 19 ODBC driver]\nDriver=/nowhere/libsqora.so.19.1\n\n"
       "[Oracle 21 ODBC driver]\nDriver=/nowhere/libsqora.so.21.1\n\n"
       "[Microsoft ODBC for Oracle]\nDriver=/nowhere/libsqora.so.21.1\n")
  set(others "  Oracle 21 ODBC driver\n  Microsoft ODBC for Oracle\n")
  set(expected_by_args
      "--odbc-drivers"
      "  PostgreSQL Unicode\n  Oracle 19 ODBC driver\n* Oracle 21 ODBC driver  (used: the SID goes in DBQ=)\n  Microsoft ODBC for Oracle\n"
      "--odbc-driver|Oracle 19 ODBC driver|--odbc-drivers"
      "  PostgreSQL Unicode\n* Oracle 19 ODBC driver  (used: the SID goes in DBQ=)\n${others}"
      "--odbc-driver= Oracle 19 ODBC driver  |--odbc-drivers"
      "  PostgreSQL Unicode\n* Oracle 19 ODBC driver  (used: the SID goes in DBQ=)\n${others}"
      "--odbc-driver|Microsoft ODBC for Oracle|--odbc-drivers"
      "  PostgreSQL Unicode\n  Oracle 19 ODBC driver\n  Oracle 21 ODBC driver\n* Microsoft ODBC for Oracle  (used: the SID goes in DBQ=)\n")
  while(expected_by_args)
    list(POP_FRONT expected_by_args args expected)
    string(REPLACE "|" ";" args "${args}")
    set(environment --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM "ODBCSYSINI=${odbc_config}")
    if(display)
      list(APPEND environment "DISPLAY=${display}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} "${PROGRAM}" ${args}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
    if(NOT code STREQUAL "0" OR NOT out STREQUAL expected OR NOT err STREQUAL "")
      fail("exit code 0 and the listing:\n${expected}")
    endif()
  endwhile()

  # Mistakes: on stderr what is wrong, then the usage line; exit code 2. /? is help on Windows alone.
  set(mistakes "--odbc-drvier" "Unknown option 'odbc-drvier'." "--odbc-driver" "Missing value after '--odbc-driver'."
      "--odbc-driver=" "Missing value after '--odbc-driver'." "/?" "Unexpected argument '/?'."
      "--odbc-driver|Oracle|21|ODBC|driver" "Unexpected arguments '21', 'ODBC', 'driver': a driver's name with blanks goes in quotes."
      "--batch-rows" "Missing value after '--batch-rows'."
      "--batch-rows|0" "The value after '--batch-rows' must be a whole number from 1 to 100,000."
      "--batch-rows=1,000" "The value after '--batch-rows' must be a whole number from 1 to 100,000.")
  while(mistakes)
    list(POP_FRONT mistakes args problem)
    string(REPLACE "|" ";" args "${args}")
    run_case()
    if(NOT code STREQUAL "2" OR NOT out STREQUAL "" OR NOT err MATCHES "^mirravel: ([^\n]*)\nUsage: [^\n]*mirravel[^\n]* \\[options\\]\n"
       OR NOT CMAKE_MATCH_1 STREQUAL problem)
      fail("exit code 2, nothing on stdout, and on stderr \"mirravel: ${problem}\" then the usage line")
    endif()
  endwhile()

  # Qt's own options: the program goes on to start and, without a display, says so as it always did.
  foreach(args "-platformtheme;none" "-style=Fusion" "-session;1234_5678" "--batch-rows;1000")
    run_case()
    if(NOT code STREQUAL "2")
      fail("exit code 2, the start without a display")
    endif()
    if(NOT err MATCHES "^Mirravel needs a graphical display")
      fail("the plain no-display line")
    endif()
    if(NOT out STREQUAL "")
      fail("nothing on stdout")
    endif()
  endforeach()
endforeach()
