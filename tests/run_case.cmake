# Runs the evaluator on one end-to-end case folder and compares what it did,
# byte for byte, with what the folder expects.
#
#   cmake -DPROGRAM=<exe> -DDIAGNOSE=<exe> -DCASE_DIR=<case> -DWORK_DIR=<scratch>
#         [-DEMULATOR=a|b] [-DCRLF=ON] [-DWEB=ON] -P run_case.cmake
#
# A case folder holds the inputs (input.txt, submission.txt, or whatever its
# arguments name) and:
#   command          optional: "diagnose" runs the diagnosis command (DIAGNOSE)
#                    instead of the program; its standard output, one line of
#                    JSON, ends with LF on every platform
#   args             optional: the arguments after the program name, one per
#                    line; without it: eval input.txt submission.txt report.txt
#   expected_report  the report expected in report.txt; without it, no
#                    report.txt may appear
#   report_file      optional: where the report is expected instead of
#                    report.txt, a path inside the folder
#   expected_stdout  optional: standard output (without it, none)
#   expected_stderr  optional: standard error, exactly
#   expected_stderr_web  optional: standard error, exactly, in the WebAssembly
#                    build (WEB=ON), where the system's error texts are
#                    emscripten's C library's; without it, expected_stderr
#   expected_status  optional: the exit status (without it, 0)
#   only             optional: "linux" or "windows", the one build it runs on
# The program runs in a fresh copy of the folder. It must leave every file of
# the folder as it was and create no file but the report. Without
# expected_stderr, standard error must stay empty unless the status is 2, when
# it must be one line naming the program. With CRLF=ON (a Windows build) every
# LF of the expected report, standard output (but the diagnosis command's) and
# standard error is expected as CR LF.

cmake_minimum_required(VERSION 3.25)

function(fail what)
  message(FATAL_ERROR "${CASE_DIR}: ${what}")
endfunction()

# Sets out to the bytes of path as hex, or to "<none>" when it does not exist.
function(read_hex path out)
  if(EXISTS "${path}")
    file(READ "${path}" hex HEX)
  else()
    set(hex "<none>")
  endif()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# Sets out to the hex bytes of path with every LF as CR LF when crlf is on
# (by default CRLF).
function(expected_hex path out)
  set(crlf "${CRLF}")
  if(ARGC GREATER 2)
    set(crlf "${ARGV2}")
  endif()
  read_hex("${path}" hex)
  if(crlf AND NOT hex STREQUAL "<none>")
    string(REGEX REPLACE "(..)" "\\1 " hex "${hex}")
    string(REPLACE "0a " "0d0a " hex "${hex}")
    string(REPLACE " " "" hex "${hex}")
  endif()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

function(compare what expected actual)
  if(NOT expected STREQUAL actual)
    fail("${what} differs\n  expected: ${expected}\n  actual:   ${actual}")
  endif()
endfunction()

set(run "${WORK_DIR}/run")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${run}")
file(COPY "${CASE_DIR}/" DESTINATION "${run}")
file(GLOB_RECURSE before LIST_DIRECTORIES false RELATIVE "${run}" "${run}/*")

set(program "${PROGRAM}")
set(stdout_crlf "${CRLF}")
if(EXISTS "${CASE_DIR}/command")
  file(STRINGS "${CASE_DIR}/command" command LIMIT_COUNT 1)
  if(NOT command STREQUAL "diagnose")
    fail("unknown command \"${command}\"")
  endif()
  set(program "${DIAGNOSE}")
  set(stdout_crlf OFF)
endif()

set(arguments eval input.txt submission.txt report.txt)
if(EXISTS "${CASE_DIR}/args")
  file(READ "${CASE_DIR}/args" text)
  string(REGEX REPLACE "\r?\n$" "" text "${text}")
  string(REGEX REPLACE "\r?\n" ";" arguments "${text}")
endif()
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(report report.txt)
if(EXISTS "${CASE_DIR}/report_file")
  file(READ "${CASE_DIR}/report_file" report)
  string(REGEX REPLACE "\r?\n$" "" report "${report}")
endif()

execute_process(
  COMMAND ${emulator} "${program}" ${arguments}
  WORKING_DIRECTORY "${run}"
  RESULT_VARIABLE status
  OUTPUT_FILE "${WORK_DIR}/stdout"
  ERROR_FILE "${WORK_DIR}/stderr"
  TIMEOUT 120)

set(expected_status 0)
if(EXISTS "${CASE_DIR}/expected_status")
  file(STRINGS "${CASE_DIR}/expected_status" expected_status LIMIT_COUNT 1)
endif()
file(READ "${WORK_DIR}/stderr" stderr)
compare("exit status (standard error: ${stderr})" "${expected_status}" "${status}")

set(expected_stderr "${CASE_DIR}/expected_stderr")
if(WEB AND EXISTS "${CASE_DIR}/expected_stderr_web")
  set(expected_stderr "${CASE_DIR}/expected_stderr_web")
endif()
if(EXISTS "${expected_stderr}")
  expected_hex("${expected_stderr}" want)
  read_hex("${WORK_DIR}/stderr" got)
  compare("standard error (${stderr})" "${want}" "${got}")
elseif(status EQUAL 2)
  if(NOT stderr MATCHES "^Orv19Zobnikari(-diagnose)?: [^\n]+\r?\n$")
    fail("standard error should be one line naming the program, not: ${stderr}")
  endif()
elseif(NOT stderr STREQUAL "")
  fail("standard error should be empty, not: ${stderr}")
endif()

expected_hex("${CASE_DIR}/expected_stdout" want "${stdout_crlf}")
if(want STREQUAL "<none>")
  set(want "")
endif()
read_hex("${WORK_DIR}/stdout" got)
compare("standard output" "${want}" "${got}")

expected_hex("${CASE_DIR}/expected_report" want)
read_hex("${run}/${report}" got)
compare("${report} (hex)" "${want}" "${got}")

foreach(name IN LISTS before)
  read_hex("${CASE_DIR}/${name}" want)
  read_hex("${run}/${name}" got)
  compare("${name}, which the run must leave as it was," "${want}" "${got}")
endforeach()
file(GLOB_RECURSE after LIST_DIRECTORIES false RELATIVE "${run}" "${run}/*")
list(REMOVE_ITEM after ${before} "${report}")
if(after)
  fail("the run created files it should not: ${after}")
endif()
