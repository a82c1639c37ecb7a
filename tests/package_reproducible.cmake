# Builds the release again from other sources of the same commit and compares:
# the program and the archive must equal, byte for byte, those of the first
# build, though the source folder, the build folder and the sources' form
# differ. Nothing of where, when or from what form of the commit a build ran
# may reach them. FROM says which sources:
#
#   source-archive  the source archive beside the release archive, unpacked:
#                   no Git, the commit taken from cmake/source_commit.txt
#   autocrlf-clone  a clone made with core.autocrlf=true, as Git for Windows
#                   makes by default: every text file checked out with CR LF,
#                   but for those that .gitattributes keeps LF; the source
#                   archive that cpack makes there must equal the first too
#
# The second build has a build folder of its own and builds the program alone
# (the package preset, BUILD_TESTING=OFF), then cpack packs it.
#
# Both hold the first build's commit and nothing else, so the test is skipped
# (it prints "SKIPPED:") when the first build has no commit of its own to give:
# when it was built from local changes, or its sources are not a Git checkout.
#
#   cmake -DFROM=source-archive|autocrlf-clone -DARCHIVE=<first build's zip>
#         -DPROGRAM=<first build's exe> -DSOURCE_ARCHIVE=<the .tar.gz>
#         -DSOURCE_DIR=<dir> -DCOMMIT=<first build's commit> -DGIT=<git>
#         -DWORK_DIR=<scratch> -DCPACK=<cpack> -P package_reproducible.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${ARCHIVE}")
  message(FATAL_ERROR "${ARCHIVE} does not exist: run cpack in the build folder first "
    "(cmake --workflow --preset package does)")
endif()
if(NOT EXISTS "${SOURCE_DIR}/.git" OR NOT EXISTS "${GIT}")
  message(STATUS "SKIPPED: the sources are not a Git checkout (or git is missing): "
    "there is neither a source archive nor a clone to build from.")
  return()
endif()
if(NOT COMMIT MATCHES "^[0-9a-f]+$")
  message(STATUS "SKIPPED: the first build names commit ${COMMIT}, but a source archive "
    "or a clone holds the commit alone. Commit, then run the package workflow again.")
  return()
endif()

# Runs a command in dir and stops the test when it fails.
function(run dir)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${dir}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${status})")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(build "${WORK_DIR}/build")
get_filename_component(source_name "${SOURCE_ARCHIVE}" NAME)

if(NOT EXISTS "${SOURCE_ARCHIVE}")
  message(FATAL_ERROR "${SOURCE_ARCHIVE} does not exist, though the first build names "
    "commit ${COMMIT} alone: cpack writes it (cmake/package_source.cmake)")
endif()
if(FROM STREQUAL "source-archive")
  file(SHA256 "${SOURCE_ARCHIVE}" sha256)
  file(READ "${SOURCE_ARCHIVE}.sha256" checksum)
  if(NOT checksum STREQUAL "${sha256}  ${source_name}\n")
    message(FATAL_ERROR "${SOURCE_ARCHIVE}.sha256 holds \"${checksum}\", "
      "the archive's SHA-256 is ${sha256}")
  endif()
  run("${WORK_DIR}" "${CMAKE_COMMAND}" -E tar xf "${SOURCE_ARCHIVE}")
  string(REGEX REPLACE "\\.tar\\.gz$" "" folder "${source_name}")
  set(source "${WORK_DIR}/${folder}")
  file(GLOB unpacked RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
  if(NOT unpacked STREQUAL folder OR EXISTS "${source}/.git")
    message(FATAL_ERROR "${source_name} holds ${unpacked}, not the folder ${folder} "
      "(without Git)")
  endif()
elseif(FROM STREQUAL "autocrlf-clone")
  set(source "${WORK_DIR}/clone")
  run("${WORK_DIR}" "${GIT}" -c safe.directory=* clone --quiet --no-checkout --config core.autocrlf=true
    "${SOURCE_DIR}" "${source}")
  run("${source}" "${GIT}" checkout --quiet --detach "${COMMIT}")
  # The clone must have CR LF where autocrlf puts it, or it proves nothing;
  # and the documents that the archive holds must have kept LF. Git tells
  # the line ends of each file in the work tree ("w/crlf", "w/lf").
  set(files CMakeLists.txt README.md docs/checks.md)
  execute_process(COMMAND "${GIT}" ls-files --eol ${files}
    WORKING_DIRECTORY "${source}"
    OUTPUT_VARIABLE eols
    COMMAND_ERROR_IS_FATAL ANY)
  foreach(file IN LISTS files)
    set(wanted "w/lf ")
    if(file STREQUAL "CMakeLists.txt")
      set(wanted "w/crlf ")
    endif()
    if(NOT eols MATCHES "${wanted}[^\n]*\t${file}\n")
      message(FATAL_ERROR "In a clone made with core.autocrlf=true, ${file} must have "
        "${wanted}line ends (.gitattributes keeps the packed documents LF):\n${eols}")
    endif()
  endforeach()
else()
  message(FATAL_ERROR "FROM is source-archive or autocrlf-clone, not \"${FROM}\"")
endif()

run("${source}" "${CMAKE_COMMAND}" --preset package -B "${build}" -DBUILD_TESTING=OFF)
run("${source}" "${CMAKE_COMMAND}" --build "${build}")
run("${build}" "${CPACK}" --config CPackConfig.cmake)

get_filename_component(archive_name "${ARCHIVE}" NAME)
get_filename_component(program_name "${PROGRAM}" NAME)
set(pairs "${PROGRAM}|${build}/${program_name}" "${ARCHIVE}|${build}/${archive_name}")
if(FROM STREQUAL "autocrlf-clone")
  list(APPEND pairs "${SOURCE_ARCHIVE}|${build}/${source_name}")
endif()
set(differ "")
foreach(pair IN LISTS pairs)
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
  message(FATAL_ERROR "Two builds of commit ${COMMIT} differ (the second from ${FROM}):"
    "${differ}\nThe second build stays in ${WORK_DIR}.")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
