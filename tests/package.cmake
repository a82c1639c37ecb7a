# The tests of the Windows release: the program's version resource, and, once
# cpack has written the archive, the archive itself (label "archive": the
# package workflow runs them after its package step; run by hand, they need
# cpack first). Included by tests/CMakeLists.txt.

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

# windres reads the resources back out of a MinGW-built program.
if(MINGW AND CMAKE_RC_COMPILER MATCHES "windres")
  foreach(program IN ITEMS Orv19Zobnikari Orv19Zobnikari-diagnose)
    string(REPLACE "Orv19Zobnikari" "" test "windows.version_resource${program}")
    add_test(NAME "${test}"
      COMMAND "${CMAKE_COMMAND}"
        "-DWINDRES=${CMAKE_RC_COMPILER}"
        "-DPROGRAM=$<TARGET_FILE:${program}>"
        "-DNAME=${PROJECT_NAME}"
        "-DFILE_NAME=${program}"
        "-DVERSION=${PROJECT_VERSION}"
        "-DCOMMIT=${ZOBNIKARI_SOURCE_COMMIT}"
        -P "${CMAKE_CURRENT_SOURCE_DIR}/package_version.cmake")
  endforeach()
endif()

if(NOT CMAKE_CROSSCOMPILING OR NOT CMAKE_OBJDUMP)
  return()
endif()
set(archive "${CMAKE_BINARY_DIR}/${ZOBNIKARI_ARCHIVE_NAME}.zip")

add_test(NAME archive.unpacked_runs_example
  COMMAND "${CMAKE_COMMAND}"
    "-DARCHIVE=${archive}"
    "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "-DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/archive_unpacked"
    "-DEMULATOR=${emulator}"
    "-DOBJDUMP=${CMAKE_OBJDUMP}"
    "-DWINDRES=${CMAKE_RC_COMPILER}"
    "-DNAME=${PROJECT_NAME}"
    "-DVERSION=${PROJECT_VERSION}"
    "-DGIT=${GIT_EXECUTABLE}"
    "-DCOMMIT=${ZOBNIKARI_SOURCE_COMMIT}"
    -P "${CMAKE_CURRENT_SOURCE_DIR}/package_unpack.cmake")
set_tests_properties(archive.unpacked_runs_example PROPERTIES LABELS archive ${needs_session})

# The same commit built again, from the source archive (in another folder,
# without Git) and from a clone made with core.autocrlf=true, must give the
# same bytes; only a build made for that (the package preset) promises it.
# Skipped where the first build has no commit of its own to give.
if(ZOBNIKARI_REPRODUCIBLE)
  foreach(from IN ITEMS source-archive autocrlf-clone)
    string(REPLACE "-" "_" test "archive.same_bytes_from_${from}")
    add_test(NAME "${test}"
      COMMAND "${CMAKE_COMMAND}"
        "-DFROM=${from}"
        "-DARCHIVE=${archive}"
        "-DPROGRAM=$<TARGET_FILE:Orv19Zobnikari>"
        "-DSOURCE_ARCHIVE=${CMAKE_BINARY_DIR}/${ZOBNIKARI_SOURCE_ARCHIVE_NAME}.tar.gz"
        "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
        "-DCOMMIT=${ZOBNIKARI_SOURCE_COMMIT}"
        "-DGIT=${GIT_EXECUTABLE}"
        "-DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/archive_${from}"
        "-DCPACK=${CMAKE_CPACK_COMMAND}"
        -P "${CMAKE_CURRENT_SOURCE_DIR}/package_reproducible.cmake")
    set_tests_properties("${test}" PROPERTIES LABELS archive TIMEOUT 1800
      SKIP_REGULAR_EXPRESSION "SKIPPED: ")
  endforeach()
endif()
