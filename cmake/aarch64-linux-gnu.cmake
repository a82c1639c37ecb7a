# Cross-compiles the Linux program for 64-bit ARM (aarch64) on an x86-64 Linux
# machine with Debian's cross compiler, and runs what it builds under QEMU's
# user-mode emulator.
#
#   cmake -B build/arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#
# QEMU finds the ARM dynamic loader and libraries (libc, libstdc++) of the
# cross toolchain under its root folder (-L), so no machine-wide setting
# (binfmt_misc) is needed.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(ZOBNIKARI_CROSS_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${ZOBNIKARI_CROSS_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${ZOBNIKARI_CROSS_PREFIX}-g++)

# Libraries and headers come from the cross toolchain's tree only; programs
# (QEMU) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZOBNIKARI_CROSS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(ZOBNIKARI_QEMU NAMES qemu-aarch64 qemu-aarch64-static
  DOC "QEMU's user-mode emulator, which runs the ARM programs of the build")
if(ZOBNIKARI_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ZOBNIKARI_QEMU}" -L /usr/${ZOBNIKARI_CROSS_PREFIX})
endif()
