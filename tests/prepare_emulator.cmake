# Makes the first run of the program under the emulator, which may set the
# emulator up, and checks that the emulator is then ready: the program starts,
# writes its usage line and nothing else, and a second run writes nothing to
# standard error. Then touches STAMP.
#
#   cmake -DPROGRAM=<exe> -DEMULATOR=a|b -DSTAMP=<file> -P prepare_emulator.cmake

cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" emulator "${EMULATOR}")
set(usage "Uporaba: Orv19Zobnikari eval input.txt submission.txt report.txt")
foreach(run IN ITEMS first second)
  execute_process(
    COMMAND ${emulator} "${PROGRAM}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE stdout
    ERROR_VARIABLE stderr
    TIMEOUT 300)
  if(NOT status EQUAL 0 OR NOT stdout MATCHES "^${usage}\r?\n$")
    message(FATAL_ERROR "The program does not run under the emulator (${EMULATOR}):\n"
      "status ${status}\nstandard output: ${stdout}\nstandard error: ${stderr}")
  endif()
  if(run STREQUAL "second" AND NOT stderr STREQUAL "")
    message(FATAL_ERROR "The emulator writes to standard error even when it is set up, "
      "which every test would take for the program's own output:\n${stderr}")
  endif()
endforeach()
file(TOUCH "${STAMP}")
