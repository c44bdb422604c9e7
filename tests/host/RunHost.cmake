# Runs one zenvas-host command and checks its exit status (and, when given,
# that its output matches a regular expression). Used by ctest:
#   cmake -DCOMMAND=prog|arg|... -DEXIT=N [-DOUTPUT=regex] [-DWORKDIR=dir] -P RunHost.cmake
# The command's words are joined with "|" because ctest splits on ";".
string(REPLACE "|" ";" command "${COMMAND}")
if(NOT DEFINED WORKDIR)
  set(WORKDIR ".")
endif()
execute_process(COMMAND ${command}
  WORKING_DIRECTORY "${WORKDIR}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
message("${out}${err}")
if(NOT "${status}" STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}")
endif()
if(DEFINED OUTPUT AND NOT "${out}${err}" MATCHES "${OUTPUT}")
  message(FATAL_ERROR "the output does not match: ${OUTPUT}")
endif()
