# Builds the sources as scripts/demo.sh does (its configure options and its
# one target) in WORK/build, installs that build into WORK/prefix and runs
# the installed demo: the build a newcomer has must install.
#   cmake -DSOURCE=dir -DWORK=dir -P DemoInstallTest.cmake
include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

file(STRINGS ${SOURCE}/scripts/demo.sh demo REGEX "^cmake ")
if(NOT demo MATCHES "-DZENVAS_BUILD_TESTS=OFF" OR NOT demo MATCHES "--target zenvas-demo")
  message(FATAL_ERROR "scripts/demo.sh no longer builds as this test does:\n${demo}")
endif()

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${prefix} ${WORK}/run)
# The build is kept between runs: a later run builds only what changed.
run(${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build -DCMAKE_BUILD_TYPE=Release -DZENVAS_BUILD_TESTS=OFF)
run(${CMAKE_COMMAND} --build ${WORK}/build -j1 --target zenvas-demo)
run(${CMAKE_COMMAND} --install ${WORK}/build --prefix ${prefix})
foreach(file bin/zenvas-host share/man/man1/zenvas-host.1.gz share/doc/zenvas/changelog.gz
             share/doc/zenvas/host-script.md)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the install of the demo's build lacks ${file}")
  endif()
endforeach()

run(${prefix}/bin/zenvas-host --help)
string(FIND "${out}" "the script language: ${prefix}/share/doc/zenvas/host-script.md" at)
if(at EQUAL -1)
  message(FATAL_ERROR "--help does not name the install's documents:\n${out}")
endif()
file(MAKE_DIRECTORY ${WORK}/run)
execute_process(COMMAND ${prefix}/bin/zenvas-host ${prefix}/share/doc/zenvas/demo.zhs
  WORKING_DIRECTORY ${WORK}/run RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the installed demo: exit status ${status}\n${out}")
endif()
