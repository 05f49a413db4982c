# Cross build for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu:
# unsigned char. The unit suites run under qemu-aarch64. The preset
# linux-aarch64 uses it.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(bracket_triple aarch64-linux-gnu)
set(bracket_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
