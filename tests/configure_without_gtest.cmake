# Configures the project as on a machine without GoogleTest (which
# CMAKE_DISABLE_FIND_PACKAGE_GTest makes it look like), twice, each in a
# build folder of its own:
#   - a plain configure must succeed, say that the tests are not built, and
#     build the programs alone: its build (a dry run of Ninja) links
#     Orv19Zobnikari and Orv19Zobnikari-diagnose, and neither the tests nor
#     the benchmark's;
#   - the release preset must stop, naming the package to install and the
#     plain configure that builds the program alone.
#
#   cmake -DSOURCE_DIR=<dir> -DWORK_DIR=<scratch> -DNINJA=<ninja>
#         -P configure_without_gtest.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
set(no_gtest -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)

# Runs a command in the sources; out gets standard output and error together.
function(configure out status)
  execute_process(COMMAND ${ARGN}
    WORKING_DIRECTORY "${SOURCE_DIR}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  set(${out} "${output}" PARENT_SCOPE)
  set(${status} "${result}" PARENT_SCOPE)
endfunction()

configure(output status "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/plain"
  -G Ninja "-DCMAKE_MAKE_PROGRAM=${NINJA}" ${no_gtest})
if(NOT status EQUAL 0 OR NOT output MATCHES "GoogleTest not found: the tests are not built")
  message(FATAL_ERROR "A plain configure without GoogleTest (status ${status}) must "
    "build the program alone and say so:\n${output}")
endif()
configure(output status "${NINJA}" -C "${WORK_DIR}/plain" -n)
string(REGEX MATCHALL "Linking CXX executable [^\r\n]*" linked "${output}")
list(SORT linked)
set(programs "Linking CXX executable Orv19Zobnikari"
  "Linking CXX executable Orv19Zobnikari-diagnose")
if(NOT status EQUAL 0 OR NOT linked STREQUAL programs)
  message(FATAL_ERROR "A plain build without GoogleTest must link the programs alone, "
    "not:\n  ${linked}\n${output}")
endif()

configure(output status "${CMAKE_COMMAND}" --preset release -B "${WORK_DIR}/preset"
  "-DCMAKE_MAKE_PROGRAM=${NINJA}" ${no_gtest})
foreach(hint IN ITEMS "libgtest-dev" "cmake -B build && cmake --build build")
  string(FIND "${output}" "${hint}" at)
  if(status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "The release preset without GoogleTest (status ${status}) must "
      "stop and name \"${hint}\":\n${output}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
