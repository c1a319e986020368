# A committed drawing is what its script draws: nobody changed one without the other.
#   cmake -DPYTHON=<python3> -DSCRIPT=<script> [-DINPUT=<picture it draws from>] -DSHIPPED=<file>
#         -DOUT=<scratch file> -P drawing_matches.cmake
execute_process(COMMAND "${PYTHON}" "${SCRIPT}" ${INPUT} "${OUT}" RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code STREQUAL "0")
  message(FATAL_ERROR "${SCRIPT} failed: ${err}")
endif()
file(SHA256 "${OUT}" drawn)
file(SHA256 "${SHIPPED}" shipped)
if(NOT drawn STREQUAL shipped)
  message(FATAL_ERROR "${SHIPPED} differs from what ${SCRIPT} draws; run: python3 ${SCRIPT} ${INPUT} ${SHIPPED}")
endif()
