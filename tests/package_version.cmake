# Checks the version resource of a Windows program, read back out of the
# program with windres: the numbers and strings that Explorer's Properties
# page shows must carry the project's version and name, and the commit:
# SourceCommit holds it alone, ProductVersion after the version.
#
#   cmake -DWINDRES=<windres> -DPROGRAM=<exe> -DNAME=<name> -DVERSION=<x.y.z>
#         -DCOMMIT=<the commit as the program must name it>
#         [-DFILE_NAME=<the program's name, without .exe; NAME by default>]
#         -P package_version.cmake

cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND "${WINDRES}" -i "${PROGRAM}" -O rc
  RESULT_VARIABLE status
  OUTPUT_VARIABLE resources
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${WINDRES} cannot read the resources of ${PROGRAM} (${status}): ${errors}")
endif()
if(NOT resources MATCHES "VERSIONINFO")
  message(FATAL_ERROR "${PROGRAM} has no version resource:\n${resources}")
endif()

if(NOT FILE_NAME)
  set(FILE_NAME "${NAME}")
endif()
string(REPLACE "." ", " numbers "${VERSION}")
set(expected
  "FILEVERSION ${numbers}, 0"
  "PRODUCTVERSION ${numbers}, 0"
  "VALUE \"FileVersion\", \"${VERSION}\""
  "VALUE \"ProductVersion\", \"${VERSION} (commit ${COMMIT})\""
  "VALUE \"SourceCommit\", \"${COMMIT}\""
  "VALUE \"ProductName\", \"${NAME}\""
  "VALUE \"OriginalFilename\", \"${FILE_NAME}.exe\""
  "VALUE \"FileDescription\", \"")
foreach(line IN LISTS expected)
  string(FIND "${resources}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The version resource of ${PROGRAM} lacks ${line}:\n${resources}")
  endif()
endforeach()
message(STATUS "${PROGRAM}: version ${VERSION}, commit ${COMMIT}")
