# run(COMMAND...): runs a command, fails the script with its output unless
# it exits 0, and leaves its output (stdout and stderr) in `out`.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}: exit status ${status}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()
