# Runs zenvas-host on each script of SCRIPTS ("|"-separated), each in a
# folder of its own under WORKDIR, where it writes text.bmp; the first two
# pictures must be the same and the third must differ from them:
#   cmake -DHOST=... -DPLUGIN=... -DSCRIPTS=a|b|c -DWORKDIR=dir -P SamePicture.cmake
string(REPLACE "|" ";" scripts "${SCRIPTS}")
set(pictures)
foreach(script ${scripts})
  get_filename_component(name ${script} NAME_WLE)
  set(dir ${WORKDIR}/${name})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${HOST} --plugin ${PLUGIN} ${script} WORKING_DIRECTORY ${dir}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${script}: exit status ${status}\n${out}${err}")
  endif()
  list(APPEND pictures ${dir}/text.bmp)
endforeach()
list(GET pictures 0 first)
list(GET pictures 1 second)
list(GET pictures 2 third)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${second} RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${first} and ${second} differ")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${first} ${third} RESULT_VARIABLE differ)
if(NOT differ)
  message(FATAL_ERROR "${first} is the same as ${third}")
endif()
