# Runs PROGRAM with ARGS (a ;-list) and checks the exit code and a text in its output.
execute_process(COMMAND "${PROGRAM}" ${ARGS} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL "${EXPECTED_CODE}")
  message(FATAL_ERROR "exit ${result}, expected ${EXPECTED_CODE}: ${output}${errors}")
endif()
if(NOT "${output}${errors}" MATCHES "${EXPECTED_TEXT}")
  message(FATAL_ERROR "no '${EXPECTED_TEXT}' in: ${output}${errors}")
endif()
