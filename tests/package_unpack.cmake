# Unpacks the release archive into an empty folder, as an organiser would, and
# checks what is there: the checksum file beside the archive matches it; the
# archive holds the program, README.md, VERSION.txt and docs/checks.md and
# nothing else, the documents byte for byte as in the sources; VERSION.txt and
# the program's version resource name the version and the commit that the
# sources are now; the program carries no debug sections nor symbols; and the
# program found there evaluates the bundled example under the emulator: report
# OK, 1, "1 35", each line ended by CR LF.
#
#   cmake -DARCHIVE=<zip> -DSOURCE_DIR=<dir> -DWORK_DIR=<scratch> -DEMULATOR=a|b
#         -DOBJDUMP=<objdump> -DWINDRES=<windres> -DNAME=<name> -DVERSION=<x.y.z>
#         -DGIT=<git> -DCOMMIT=<the commit that the configure step read>
#         -P package_unpack.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${ARCHIVE}")
  message(FATAL_ERROR "${ARCHIVE} does not exist: run cpack in the build folder first "
    "(cmake --workflow --preset package does)")
endif()
get_filename_component(archive_name "${ARCHIVE}" NAME)
get_filename_component(folder "${ARCHIVE}" NAME_WLE)

# The checksum file: "<sha256>  <archive name>", as sha256sum -c reads it.
file(SHA256 "${ARCHIVE}" sha256)
if(NOT EXISTS "${ARCHIVE}.sha256")
  message(FATAL_ERROR "No checksum file ${ARCHIVE}.sha256")
endif()
file(READ "${ARCHIVE}.sha256" checksum)
if(NOT checksum STREQUAL "${sha256}  ${archive_name}\n")
  message(FATAL_ERROR "${ARCHIVE}.sha256 holds \"${checksum}\", the archive's SHA-256 is ${sha256}")
endif()

# The commit that the program must name, asked now and not at configure time,
# so that an archive built before a commit, or before files changed, is caught
# naming sources it was not built from.
include("${SOURCE_DIR}/cmake/source_commit.cmake")
zobnikari_source_commit("${SOURCE_DIR}" "${GIT}" commit)
if(NOT commit STREQUAL COMMIT)
  message(FATAL_ERROR "The build was configured at commit ${COMMIT}; the sources are now "
    "at ${commit}. Configure, build and package again (cmake --workflow --preset package).")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar xf "${ARCHIVE}"
  WORKING_DIRECTORY "${WORK_DIR}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Cannot unpack ${ARCHIVE} (${status})")
endif()

file(GLOB_RECURSE unpacked LIST_DIRECTORIES false RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
list(SORT unpacked)
set(expected "${folder}/${NAME}-diagnose.exe" "${folder}/${NAME}.exe" "${folder}/README.md"
  "${folder}/VERSION.txt" "${folder}/docs/checks.md")
if(NOT unpacked STREQUAL expected)
  message(FATAL_ERROR "${archive_name} holds\n  ${unpacked}\ninstead of\n  ${expected}")
endif()
foreach(document IN ITEMS README.md docs/checks.md)
  file(SHA256 "${WORK_DIR}/${folder}/${document}" packed)
  file(SHA256 "${SOURCE_DIR}/${document}" source)
  if(NOT packed STREQUAL source)
    message(FATAL_ERROR "${document} in the archive differs from ${SOURCE_DIR}/${document}")
  endif()
endforeach()
# Compared in hex: file(READ) would drop a CR.
file(READ "${WORK_DIR}/${folder}/VERSION.txt" version_file HEX)
string(HEX "${NAME} ${VERSION}\ncommit ${commit}\n" expected_file)
if(NOT version_file STREQUAL expected_file)
  message(FATAL_ERROR "VERSION.txt in the archive holds, in hex, ${version_file}, not "
    "${NAME} ${VERSION}, then commit ${commit}, in lines ended by LF")
endif()

foreach(file_name IN ITEMS "${NAME}" "${NAME}-diagnose")
  set(program "${WORK_DIR}/${folder}/${file_name}.exe")
  execute_process(
    COMMAND "${OBJDUMP}" -h -t "${program}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE dump
    ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -h -t ${program} failed (${status}): ${errors}")
  endif()
  if(dump MATCHES "\\.debug_[a-z]+" OR NOT dump MATCHES "SYMBOL TABLE:[\r\n]+no symbols")
    message(FATAL_ERROR "${program} in the archive is not stripped:\n${dump}")
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DWINDRES=${WINDRES}" "-DPROGRAM=${program}" "-DNAME=${NAME}"
      "-DFILE_NAME=${file_name}" "-DVERSION=${VERSION}" "-DCOMMIT=${commit}"
      -P "${CMAKE_CURRENT_LIST_DIR}/package_version.cmake"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
set(program "${WORK_DIR}/${folder}/${NAME}.exe")

# The grading machinery's run: the inputs beside the report, relative paths.
set(run "${WORK_DIR}/run")
file(MAKE_DIRECTORY "${run}")
file(COPY "${SOURCE_DIR}/examples/input.txt" "${SOURCE_DIR}/examples/submission.txt"
  DESTINATION "${run}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${emulator} "${program}" eval input.txt submission.txt report.txt
  WORKING_DIRECTORY "${run}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE stdout
  ERROR_VARIABLE stderr
  TIMEOUT 300)
if(NOT status EQUAL 0 OR NOT stdout STREQUAL "" OR NOT stderr STREQUAL "")
  message(FATAL_ERROR "${program} eval ...: status ${status}\n"
    "standard output: ${stdout}\nstandard error: ${stderr}")
endif()
file(READ "${run}/report.txt" report HEX)
# "OK\r\n1\r\n1 35\r\n"
if(NOT report STREQUAL "4f4b0d0a310d0a312033350d0a")
  message(FATAL_ERROR "The report on the bundled example is, in hex, ${report}, "
    "not 4f4b0d0a310d0a312033350d0a (OK, 1, 1 35, lines ended by CR LF)")
endif()
# A contestant's run of the diagnosis command on the example: one line of
# JSON, ended by LF on Windows too.
execute_process(
  COMMAND ${emulator} "${WORK_DIR}/${folder}/${NAME}-diagnose.exe" input.txt submission.txt
  WORKING_DIRECTORY "${run}"
  RESULT_VARIABLE status
  OUTPUT_FILE "${WORK_DIR}/diagnosis.json"
  ERROR_VARIABLE stderr
  TIMEOUT 300)
file(READ "${WORK_DIR}/diagnosis.json" diagnosis HEX)
string(HEX "{\"report\":\"OK\\u000a1\\u000a1 35\\u000a\",\"findings\":[],\"moreFindings\":0,\"blocks\":[{\"id\":1,\"line\":3,\"accepted\":true,\"score\":35,\"ceiling\":48,\"races\":[[16,0],[16,1],[3,0]]}],\"testData\":{\"valid\":true,\"cases\":[{\"id\":1,\"n\":4,\"d\":3,\"k\":2,\"m\":1}]}}\n" expected_diagnosis)
if(NOT status EQUAL 0 OR NOT stderr STREQUAL "" OR NOT diagnosis STREQUAL expected_diagnosis)
  message(FATAL_ERROR "${NAME}-diagnose.exe input.txt submission.txt: status ${status}\n"
    "standard output, in hex: ${diagnosis}\nexpected: ${expected_diagnosis}\n"
    "standard error: ${stderr}")
endif()
message(STATUS "${archive_name}: ${unpacked}; commit ${commit}; "
  "the example's report is OK, 1, 1 35, and its diagnosis as expected")
