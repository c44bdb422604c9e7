# Runs every ```zhs block of a Markdown document as a script:
#   cmake -DHOST=zenvas-host -DPLUGIN=Zenvas.nbp -DDOC=file.md -DWORKDIR=dir
#         [-DONLY=N] -P RunExamples.cmake
# Example N (counted from 1) is written to WORKDIR/N/example.zhs and run
# there, in a folder emptied first; it must exit with status 0. Every
# example runs; the failures are listed with the document's line numbers.
# Blocks with another info string (or none) are not run.
cmake_minimum_required(VERSION 3.25)
foreach(var HOST PLUGIN DOC WORKDIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunExamples.cmake needs -D${var}=...")
  endif()
endforeach()

# The examples run in folders of their own: paths are made absolute first.
foreach(var HOST PLUGIN DOC WORKDIR)
  get_filename_component(${var} "${${var}}" ABSOLUTE)
endforeach()

file(READ "${DOC}" text)
set(fence "```")
set(count 0)
set(failed 0)
set(failures "")
set(line 1)
while(TRUE)
  string(FIND "${text}" "\n${fence}zhs\n" open)
  if(open EQUAL -1)
    break()
  endif()
  # Lines up to the opening fence, for the messages.
  string(SUBSTRING "${text}" 0 ${open} before)
  string(REGEX MATCHALL "\n" newlines "${before}")
  list(LENGTH newlines skipped)
  math(EXPR start_line "${line} + ${skipped} + 1")
  math(EXPR body_start "${open} + 8")
  string(SUBSTRING "${text}" ${body_start} -1 rest)
  string(FIND "${rest}" "\n${fence}" close)
  if(close EQUAL -1)
    message(FATAL_ERROR "${DOC}:${start_line}: a zhs block without its closing fence")
  endif()
  math(EXPR body_length "${close} + 1")
  string(SUBSTRING "${rest}" 0 ${body_length} body)
  math(EXPR after "${close} + 4")
  string(SUBSTRING "${rest}" ${after} -1 text)
  string(REGEX MATCHALL "\n" newlines "${body}")
  list(LENGTH newlines body_lines)
  math(EXPR line "${start_line} + ${body_lines} + 1")

  math(EXPR count "${count} + 1")
  if(DEFINED ONLY AND NOT ONLY EQUAL count)
    continue()
  endif()
  set(dir "${WORKDIR}/${count}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}")
  file(WRITE "${dir}/example.zhs" "${body}")
  execute_process(COMMAND "${HOST}" --plugin "${PLUGIN}" example.zhs
    WORKING_DIRECTORY "${dir}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  if(NOT status STREQUAL "0")
    math(EXPR failed "${failed} + 1")
    string(APPEND failures "\n${DOC}:${start_line}: example ${count} exited with ${status} (script ${dir}/example.zhs)\n${out}${err}")
  endif()
endwhile()

if(count EQUAL 0)
  message(FATAL_ERROR "${DOC}: no ${fence}zhs examples")
endif()
if(failed GREATER 0)
  message(FATAL_ERROR "${failed} of ${count} examples failed:${failures}")
endif()
message("${count} examples of ${DOC} ran with exit status 0")
