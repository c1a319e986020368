# HAND-M.CUR is what packaging/hand_cursor.py draws: nobody changed one without the other.
#   cmake -DPYTHON=<python3> -DSCRIPT=<hand_cursor.py> -DSHIPPED=<HAND-M.CUR> -DOUT=<scratch file> -P ...
execute_process(COMMAND "${PYTHON}" "${SCRIPT}" "${OUT}" RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "${SCRIPT} failed: ${err}")
endif()
file(SHA256 "${OUT}" drawn)
file(SHA256 "${SHIPPED}" shipped)
if(NOT drawn STREQUAL shipped)
  message(FATAL_ERROR "${SHIPPED} differs from what ${SCRIPT} draws; run: python3 ${SCRIPT} ${SHIPPED}")
endif()
