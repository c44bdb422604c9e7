# Runs names.zhs in a fresh WORKDIR holding имена/курсор.cur, then lists
# имена/: every name must be there as UTF-8, as other programs read it.
#   cmake -DHOST=zenvas-host -DPLUGIN=Zenvas.nbp -DCURSOR=file.cur -DWORKDIR=dir -P FileNames.cmake
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/имена")
file(COPY_FILE "${CURSOR}" "${WORKDIR}/имена/курсор.cur")
execute_process(COMMAND "${HOST}" --plugin "${PLUGIN}" "${CMAKE_CURRENT_LIST_DIR}/names.zhs"
  WORKING_DIRECTORY "${WORKDIR}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "names.zhs: exit status ${status}")
endif()
file(GLOB found RELATIVE "${WORKDIR}" "${WORKDIR}/*" "${WORKDIR}/имена/*")
list(SORT found)
set(expected имена имена/вид.png имена/диалог.png имена/картинка.bmp имена/курсор.cur имена/лупа.png
    имена/снимок.bmp имена/фото.jpg имена/часть.bmp)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "the folder holds\n  ${found}\nnot\n  ${expected}")
endif()
