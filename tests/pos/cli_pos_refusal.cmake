# Runs one skyrell-cli call that must be refused: checks its exit status and
# its error text, and that it left no output file.
#   -DCLI=... -DARGS=a|b|c -DOUT=file -DEXIT=n -DSTDERR=text
string(REPLACE "|" ";" args "${ARGS}")
get_filename_component(folder "${OUT}" DIRECTORY)
file(REMOVE_RECURSE "${folder}")
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND "${CLI}" ${args} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL EXIT)
  message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}: ${err}")
endif()
string(FIND "${err}" "${STDERR}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "error text '${err}' does not hold '${STDERR}'")
endif()
if(EXISTS "${OUT}")
  message(FATAL_ERROR "${OUT} was written")
endif()
