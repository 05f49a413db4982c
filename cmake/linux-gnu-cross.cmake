# Shared by the Linux cross toolchains (i686-linux-gnu.cmake,
# aarch64-linux-gnu.cmake), which set bracket_triple and bracket_qemu first:
# Debian's cross compilers, and the programs run here under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_CXX_COMPILER ${bracket_triple}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${bracket_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static programs start under emulation or natively without the target's
# shared C library installed on the build machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the suites through this. A machine whose kernel runs the
# target's programs itself passes -DCMAKE_CROSSCOMPILING_EMULATOR= (empty)
# to run them natively (scripts/check-linux-cross.sh probes for that).
if(NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${bracket_qemu} -L /usr/${bracket_triple} CACHE STRING
    "Runs the target's programs on this machine (empty: natively)")
endif()
