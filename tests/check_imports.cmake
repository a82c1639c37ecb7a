# Checks that a Windows program imports only DLLs that come with Windows
# itself, so that it runs on a bare machine: no C++ runtime, libgcc or
# winpthread DLL beside it.
#
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<exe> -P check_imports.cmake

cmake_minimum_required(VERSION 3.25)

# The DLLs it may import; api-ms-win-crt-*.dll (the Universal C runtime's
# forwarders) come with Windows 10 and later, which a UCRT-based MinGW uses.
set(system_dlls kernel32.dll msvcrt.dll ucrtbase.dll shell32.dll)
set(system_dll_pattern "^api-ms-win-crt-[a-z0-9-]+\\.dll$")
execute_process(
  COMMAND "${OBJDUMP}" -p "${PROGRAM}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE dump
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed (${status}): ${errors}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${PROGRAM}: no imported DLL found, which no Windows program lacks")
endif()
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "${system_dll_pattern}")
    message(FATAL_ERROR "${PROGRAM} imports ${dll}, which Windows does not have: "
      "link it statically")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
