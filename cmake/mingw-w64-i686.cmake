# Cross build for 32-bit Windows consoles with Debian's MinGW-w64 compilers
# (msvcrt runtime); scripts/build-windows.sh uses it:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(BRACKET_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${BRACKET_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${BRACKET_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${BRACKET_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRACKET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A self-contained .exe: only system DLLs (KERNEL32, msvcrt) stay dynamic,
# so the binary runs where no MinGW runtime is installed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

