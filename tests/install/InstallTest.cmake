# Installs the build tree BUILD into a fresh prefix under WORK, then builds
# the outside program in consumer/ against that prefix, once through the
# CMake package and once through pkg-config, and runs it; then runs the
# installed zenvas-host, which must find the installed plug-in by itself.
#   cmake -DBUILD=dir -DWORK=dir -DVERSION=x.y.z -P InstallTest.cmake
include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
# No help from the environment: the plug-in finds libzenvas-platform by its
# own RUNPATH.
unset(ENV{LD_LIBRARY_PATH})
unset(ENV{CMAKE_PREFIX_PATH})

foreach(way cmake pkg-config)
  set(options -DVERSION=${VERSION})
  if(way STREQUAL cmake)
    list(APPEND options -DCMAKE_PREFIX_PATH=${prefix})
  else()
    list(APPEND options -DUSE_PKG_CONFIG=ON)
    file(GLOB_RECURSE pc ${prefix}/zenvas.pc)
    get_filename_component(pc_dir "${pc}" DIRECTORY)
    set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  endif()
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer -B ${WORK}/${way} ${options})
  run(${CMAKE_COMMAND} --build ${WORK}/${way})
  run(${WORK}/${way}/count_entries)
  message("${way}: ${out}")
  string(FIND "${out}" "${prefix}/" at)
  if(NOT at EQUAL 0 OR NOT out MATCHES "/zenvas/Zenvas.nbp registered 54 entries\n$")
    message(FATAL_ERROR "${way}: not the installed plug-in, or not its 54 entries")
  endif()
endforeach()

run(${prefix}/bin/zenvas-host --trace actions)
string(FIND "${out}" "trace: plug-in file ${prefix}/" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "the installed zenvas-host did not load the installed plug-in:\n${out}")
endif()

# --help names the documents of the prefix it runs from.
run(${prefix}/bin/zenvas-host --help)
string(FIND "${out}" "${prefix}/share/doc/zenvas/host-script.md" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the installed zenvas-host --help does not name its own documents:\n${out}")
endif()
