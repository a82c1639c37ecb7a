# The tests of the Windows release: the program's version resource. Included
# by tests/CMakeLists.txt.

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  return()
endif()

# windres reads the resources back out of a MinGW-built program.
if(MINGW AND CMAKE_RC_COMPILER MATCHES "windres")
  add_test(NAME windows.version_resource
    COMMAND "${CMAKE_COMMAND}"
      "-DWINDRES=${CMAKE_RC_COMPILER}"
      "-DPROGRAM=$<TARGET_FILE:Orv19Zobnikari>"
      "-DNAME=${PROJECT_NAME}"
      "-DVERSION=${PROJECT_VERSION}"
      -P "${CMAKE_CURRENT_SOURCE_DIR}/package_version.cmake")
endif()
