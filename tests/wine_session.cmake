# Starts or stops the Wine session (its server and system processes) in which
# the tests of the Windows build run.
#
#   cmake -DACTION=start -DWINESERVER=<path> -DWINEPREFIX=<dir> -DEMULATOR=a|b
#         -DPROGRAM=<exe> -DLOG=<file> -P wine_session.cmake
#   cmake -DACTION=stop -DWINESERVER=<path> -DWINEPREFIX=<dir> -P wine_session.cmake
#
# Wine's server and the system processes that the first program starts keep
# that program's standard error open, and live on for seconds after the last
# program ends. Started from a test, they would hold the test's output pipe
# open (CTest then waits for them, seconds per test), and later messages of
# theirs would land in whatever the test captures. So the session starts
# once, before the tests, with its output going to LOG, and stays up until
# the tests are done.

cmake_minimum_required(VERSION 3.25)

set(ENV{WINEPREFIX} "${WINEPREFIX}")
set(ENV{WINEDEBUG} "-all")

# Ends a session left running in this prefix (by the tests' discovery, or a
# run that was interrupted), and waits until it has ended.
execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND "${WINESERVER}" -w OUTPUT_QUIET ERROR_QUIET)
if(ACTION STREQUAL "stop")
  return()
endif()

# The server stays up for a minute after its last program, however long the
# gaps between tests; the stop action ends it earlier.
execute_process(
  COMMAND "${WINESERVER}" -p60
  RESULT_VARIABLE status
  INPUT_FILE /dev/null
  OUTPUT_FILE "${LOG}"
  ERROR_FILE "${LOG}")
if(NOT status EQUAL 0)
  file(READ "${LOG}" log)
  message(FATAL_ERROR "${WINESERVER} -p60 failed (${status}):\n${log}")
endif()

# The first program starts the system processes.
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${emulator} "${PROGRAM}"
  RESULT_VARIABLE status
  INPUT_FILE /dev/null
  OUTPUT_FILE "${LOG}.first_run"
  ERROR_FILE "${LOG}"
  TIMEOUT 300)
if(NOT status EQUAL 0)
  file(READ "${LOG}" log)
  message(FATAL_ERROR "${PROGRAM} does not run under Wine (${status}):\n${log}")
endif()
