# Cross build for 32-bit Windows consoles with Debian's MinGW-w64 compilers
# (g++-mingw-w64-i686); the preset windows uses it, and the win32 -dev.zip
# carries it in lib/cmake/bracket (the zip's README.txt says how to use it).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRACKET_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
