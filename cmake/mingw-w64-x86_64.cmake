# Cross build for 64-bit Windows consoles; the preset windows64 uses it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRACKET_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
