# Cross build for 32-bit Windows consoles; the preset windows uses it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRACKET_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
