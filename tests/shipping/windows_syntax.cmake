# Every source of the program compiles for Windows: what mingw-w64's compiler said of each, as
# the build kept it (windows_syntax_one.cmake), holds no error and no warning.
#   cmake -DLIST=<file naming the result files, one a line> -P windows_syntax.cmake
file(STRINGS "${LIST}" results)
list(LENGTH results count)
set(clean 0)
foreach(result IN LISTS results)
  if(NOT EXISTS "${result}")
    message(SEND_ERROR "Not checked yet: ${result} (cmake --build <build> --target windows_syntax_results)")
    continue()
  endif()
  file(READ "${result}" said)
  if(said STREQUAL "exit 0\n")
    math(EXPR clean "${clean} + 1")
  else()
    message(SEND_ERROR "${result}:\n${said}")
  endif()
endforeach()
message(STATUS "${clean} of ${count} sources compile for Windows without a warning")
