# Runs one skyrell-cli call and checks its exit status, its error text and the
# file it wrote (byte for byte against a golden file, or that none was left).
#   -DCLI=... -DARGS=a|b|c -DOUT=file -DEXIT=n [-DGOLDEN=file] [-DSTDERR=text]
string(REPLACE "|" ";" args "${ARGS}")
get_filename_component(folder "${OUT}" DIRECTORY)
file(REMOVE_RECURSE "${folder}")
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${CLI}" ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL EXIT)
  message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}: ${err}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
  message(FATAL_ERROR "error text '${err}' does not hold '${STDERR}'")
endif()
if(DEFINED GOLDEN)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}" "${GOLDEN}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${OUT} differs from ${GOLDEN}")
  endif()
elseif(EXISTS "${OUT}")
  message(FATAL_ERROR "${OUT} was written")
endif()
