# Cross build for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu:
# unsigned char. The unit suites run under qemu-aarch64:
#   cmake -S . -B build-linux-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DBRACKET_BUILD_TESTS=ON
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(bracket_triple aarch64-linux-gnu)
set(bracket_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
