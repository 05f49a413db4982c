# Cross build for 64-bit Windows consoles with Debian's MinGW-w64 compilers
# (g++-mingw-w64-x86-64); the preset windows64 uses it, and the win64
# -dev.zip carries it in lib/cmake/bracket (the zip's README.txt says how to
# use it).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRACKET_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
