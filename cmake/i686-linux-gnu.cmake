# Cross build for 32-bit x86 Linux with Debian's g++-i686-linux-gnu: 32-bit
# pointers and long. The unit suites run natively where the kernel runs
# 32-bit programs, otherwise under qemu-i386. The preset
# linux-i686 uses it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(bracket_triple i686-linux-gnu)
set(bracket_qemu qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
