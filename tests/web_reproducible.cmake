# Builds the web archive a second time, from the same sources in a build
# folder of another name and path, and compares it and its checksum file byte
# for byte with the first build's: the same sources always give the same
# archive, wherever they are built.
#
#   cmake -DSOURCE_DIR=<sources> -DWORK_DIR=<scratch> -DTOOLCHAIN=<file>
#         -DARCHIVE=<first build's archive> -P web_reproducible.cmake

cmake_minimum_required(VERSION 3.25)

set(build "${WORK_DIR}/second build")
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${build}" -G Ninja
    "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  OUTPUT_QUIET
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND "${CMAKE_COMMAND}" --build "${build}" --target web_archive
  OUTPUT_QUIET
  COMMAND_ERROR_IS_FATAL ANY)

get_filename_component(name "${ARCHIVE}" NAME)
foreach(file IN ITEMS "${name}" "${name}.sha256")
  get_filename_component(first_dir "${ARCHIVE}" DIRECTORY)
  file(SHA256 "${first_dir}/${file}" first)
  file(SHA256 "${build}/${file}" second)
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "${file} differs between two builds of the same sources:\n"
      "  ${first_dir}/${file}\n  ${build}/${file}")
  endif()
endforeach()
file(READ "${ARCHIVE}.sha256" checksum)
message(STATUS "the same bytes from two builds: ${checksum}")
file(REMOVE_RECURSE "${WORK_DIR}")
