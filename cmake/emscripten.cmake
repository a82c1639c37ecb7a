# Compiles the evaluator to WebAssembly with Debian's emscripten (em++), and
# runs what it builds under Node.js: the program as a command, the unit tests,
# and the module that the page loads.
#
#   cmake -B build/web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
#
# Debian installs emscripten's CMake platform file with emscripten itself, and
# the acorn package, which em++'s link step needs, where Node.js finds it only
# when NODE_PATH says so: every link runs with that setting.

execute_process(COMMAND em-config EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE ZOBNIKARI_EMSCRIPTEN_ROOT
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${ZOBNIKARI_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
  message(FATAL_ERROR "emscripten not found (em-config EMSCRIPTEN_ROOT): the web build needs it "
    "(Debian: apt-get install emscripten)")
endif()
include("${ZOBNIKARI_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")

set(ZOBNIKARI_NODE_MODULES /usr/share/nodejs CACHE PATH
  "Where the system's Node.js packages are (acorn, for em++'s link step)")
set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_COMMAND}" -E env "NODE_PATH=${ZOBNIKARI_NODE_MODULES}")
