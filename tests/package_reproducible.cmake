# Builds the release a second time and compares: the sources are copied to
# another folder, configured there with the package preset and a build folder
# of their own (the program alone, BUILD_TESTING=OFF), built and packed with
# cpack. The program and the archive must equal, byte for byte, those of the
# first build, though both the source and the build folder differ: nothing
# of where or when a build ran may reach them.
#
#   cmake -DARCHIVE=<first build's zip> -DPROGRAM=<first build's exe>
#         -DSOURCE_DIR=<dir> -DBINARY_DIR=<first build folder> -DWORK_DIR=<scratch>
#         -DCPACK=<cpack> -P package_reproducible.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${ARCHIVE}")
  message(FATAL_ERROR "${ARCHIVE} does not exist: run cpack in the build folder first "
    "(cmake --workflow --preset package does)")
endif()

# Runs a command in dir and stops the test when it fails.
function(run dir)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${dir}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${status})")
  endif()
endfunction()

# Copies the sources: everything but Git's folder and the folder that holds
# the first build.
file(REMOVE_RECURSE "${WORK_DIR}")
set(source "${WORK_DIR}/source")
set(build "${WORK_DIR}/build")
file(MAKE_DIRECTORY "${source}")
file(RELATIVE_PATH inside "${SOURCE_DIR}" "${BINARY_DIR}")
if(inside STREQUAL "")
  message(FATAL_ERROR "A build in the source folder cannot be built again elsewhere")
endif()
string(REGEX REPLACE "/.*" "" builds "${inside}")
file(GLOB entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*" "${SOURCE_DIR}/.*")
foreach(entry IN LISTS entries)
  if(entry STREQUAL ".git" OR entry STREQUAL "${builds}")
    continue()
  endif()
  file(COPY "${SOURCE_DIR}/${entry}" DESTINATION "${source}")
endforeach()

run("${source}" "${CMAKE_COMMAND}" --preset package -B "${build}" -DBUILD_TESTING=OFF)
run("${source}" "${CMAKE_COMMAND}" --build "${build}")
run("${build}" "${CPACK}" --config CPackConfig.cmake)

get_filename_component(archive_name "${ARCHIVE}" NAME)
get_filename_component(program_name "${PROGRAM}" NAME)
set(differ "")
foreach(pair IN ITEMS "${PROGRAM}|${build}/${program_name}" "${ARCHIVE}|${build}/${archive_name}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 first)
  list(GET pair 1 second)
  file(SHA256 "${first}" first_sha256)
  file(SHA256 "${second}" second_sha256)
  message(STATUS "${first_sha256}  ${first}")
  message(STATUS "${second_sha256}  ${second}")
  if(NOT first_sha256 STREQUAL second_sha256)
    string(APPEND differ "\n  ${first}\n  ${second}")
  endif()
endforeach()
if(differ)
  message(FATAL_ERROR "Two builds of the same sources differ:${differ}\n"
    "The second build stays in ${WORK_DIR}.")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
