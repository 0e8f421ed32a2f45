# Runs tesral-cli with the arguments of ARGS_FILE and compares its output byte for byte
# with EXPECTED. With UPDATE set, rewrites EXPECTED instead.
file(STRINGS "${ARGS_FILE}" line LIMIT_COUNT 1)
separate_arguments(args UNIX_COMMAND "${line}")
execute_process(COMMAND "${CLI}" ${args} OUTPUT_FILE "${ACTUAL}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tesral-cli ${line} exited with ${rc}")
endif()
if(UPDATE)
  file(COPY_FILE "${ACTUAL}" "${EXPECTED}")
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${ACTUAL}" "${EXPECTED}"
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "output of 'tesral-cli ${line}' differs from ${EXPECTED} (see ${ACTUAL})")
endif()
