# Cross-compiles the Windows program (x86-64) on Linux with MinGW-w64, in the
# posix thread model, and runs what it builds under Wine.
#
#   cmake -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Wine runs quietly, its own diagnostics off (WINEDEBUG=-all), in a prefix of
# its own inside the build tree (ZOBNIKARI_WINEPREFIX), without offering to
# install Mono or Gecko into it, and in a UTF-8 locale, so that the UTF-8 bytes
# of Linux file names and arguments reach the program as the characters they
# spell.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOBNIKARI_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZOBNIKARI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOBNIKARI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZOBNIKARI_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW-w64 tree only; programs (Wine)
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZOBNIKARI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package installs its loader outside PATH; the wine package
# adds the wine command.
find_program(ZOBNIKARI_WINE NAMES wine64 wine PATHS /usr/lib/wine
  DOC "Wine, which runs the Windows programs of the build")
find_program(ZOBNIKARI_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine
  DOC "Wine's server, which the tests keep running while they run")
set(ZOBNIKARI_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH
  "The Wine prefix in which the build's Windows programs run")
if(ZOBNIKARI_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND}" -E env
      WINEDEBUG=-all
      "WINEPREFIX=${ZOBNIKARI_WINEPREFIX}"
      "WINEDLLOVERRIDES=mscoree,mshtml="
      LC_ALL=C.UTF-8
      "${ZOBNIKARI_WINE}")
endif()
