# The program alone configures without the stand-in driver's needs: with the tests off, neither
# SQLite nor unixODBC's odbcinst is looked for. With the tests on and SQLite missing, the
# configure says which option leaves them out.
#   cmake -DSOURCE_DIR=<top> -DWORK_DIR=<scratch> -DGENERATOR=<generator> -DCXX=<compiler>
#         -DC=<compiler> -P configure_without_test_equipment.cmake

file(REMOVE_RECURSE "${WORK_DIR}")
set(common -S "${SOURCE_DIR}" -G "${GENERATOR}" "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_C_COMPILER=${C}"
    # SQLite is installed wherever the tests run; this makes it as good as missing.
    -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON)

execute_process(COMMAND ${CMAKE_COMMAND} ${common} -B "${WORK_DIR}/program" -DMIRRAVEL_BUILD_TESTS=OFF
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "The configure with the tests off failed:\n${out}")
endif()
file(STRINGS "${WORK_DIR}/program/CMakeCache.txt" looked_for REGEX "^(DEVDB_ODBCINST_LIBRARY|SQLite3_[A-Z_]+)[:=]")
if(looked_for)
  message(SEND_ERROR "The configure with the tests off looked for the stand-in driver's needs: ${looked_for}")
endif()
foreach(folder devdb tests bench)
  if(EXISTS "${WORK_DIR}/program/${folder}")
    message(SEND_ERROR "The configure with the tests off set up ${folder}/")
  endif()
endforeach()
if(NOT EXISTS "${WORK_DIR}/program/src")
  message(SEND_ERROR "The configure with the tests off did not set up the program")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} ${common} -B "${WORK_DIR}/everything"
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(code STREQUAL "0")
  message(SEND_ERROR "The configure with the tests on succeeded without SQLite")
endif()
string(REGEX REPLACE "[ \n]+" " " flat "${out}")
if(NOT flat MATCHES "libsqlite3-dev" OR NOT flat MATCHES "-DMIRRAVEL_BUILD_TESTS=OFF")
  message(SEND_ERROR "Without SQLite the configure should name what is missing and the option that leaves "
                     "the tests out:\n${out}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
