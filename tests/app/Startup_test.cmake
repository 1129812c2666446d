# A first start in an empty folder writes the settings file with the new-installation defaults;
# a second start keeps what the operator stored.
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${PROGRAM}" --headless --cycles 0 --dir "${WORK}"
                RESULT_VARIABLE result ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "first start failed (${result}): ${output}")
endif()
if(NOT output MATCHES "Хроматограф ЛТ-4КС")
  message(FATAL_ERROR "no caption in: ${output}")
endif()
set(ini "${WORK}/хроматограф.ini")
if(NOT EXISTS "${ini}")
  message(FATAL_ERROR "no settings file written")
endif()

# A file holding only a Тавир type (section "порт" in CP1251).
execute_process(COMMAND printf "[\\xef\\xee\\xf0\\xf2]\\r\\ndevice_type=01000000\\r\\n" OUTPUT_FILE "${ini}")
execute_process(COMMAND "${PROGRAM}" --cycles 0 --dir "${WORK}" RESULT_VARIABLE result ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "Хроматограф Тавир" OR NOT output MATCHES "cycle times: 4 18 70 32 120 0 0 0")
  message(FATAL_ERROR "second start did not keep the stored type (${result}): ${output}")
endif()
