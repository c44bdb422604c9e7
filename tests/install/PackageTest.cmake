# Unpacks the Debian package DEB into a throwaway root under WORK and runs
# the demo script with the unpacked usr/bin/zenvas-host, from a fresh
# folder: the host must find its plug-in and libzenvas-platform relative to
# itself, with no LD_LIBRARY_PATH. Without DEB, cpack makes the package
# from the build tree BUILD first.
#   cmake [-DDEB=file.deb | -DBUILD=dir -DCPACK=cpack] -DWORK=dir -DVERSION=x.y.z -P PackageTest.cmake
include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(NOT DEB)
  run(${CPACK} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK}/deb)
  file(GLOB DEB ${WORK}/deb/*.deb)
endif()
run(dpkg-deb -f ${DEB} Package Version)
if(NOT out STREQUAL "Package: zenvas\nVersion: ${VERSION}\n")
  message(FATAL_ERROR "${DEB} is not zenvas ${VERSION}:\n${out}")
endif()

set(root ${WORK}/root)
run(dpkg -x ${DEB} ${root})
unset(ENV{LD_LIBRARY_PATH})
file(MAKE_DIRECTORY ${WORK}/run)
execute_process(COMMAND ${root}/usr/bin/zenvas-host --trace ${root}/usr/share/doc/zenvas/demo.zhs
  WORKING_DIRECTORY ${WORK}/run RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(FIND "${out}" "trace: ${root}/usr/share/doc/zenvas/demo.zhs: plug-in file ${root}/usr/lib/" at)
if(NOT status EQUAL 0 OR NOT at EQUAL 0 OR NOT out MATCHES "\ndemo finished")
  message(FATAL_ERROR "the unpacked demo: exit status ${status}\n${out}")
endif()
if(NOT EXISTS ${WORK}/run/out/demo-canvas.bmp)
  message(FATAL_ERROR "the unpacked demo wrote no pictures into ${WORK}/run/out")
endif()
message("${DEB}: the demo ran from ${root}")
