# What the MinGW-w64 cross builds share; cmake/mingw-w64-i686.cmake and
# cmake/mingw-w64-x86_64.cmake name the target and include this file.
# Debian's compilers, msvcrt runtime.
set(CMAKE_SYSTEM_NAME Windows)

# The compilers' threads variant: empty for the system's default (win32 on
# Debian), which builds the product; "posix" for the winpthreads one, whose
# C++ library has the std::mutex GoogleTest needs (the unit suites' build).
set(BRACKET_MINGW_THREADS "" CACHE STRING "MinGW-w64 compiler variant: empty (the system's default) or posix")
if(BRACKET_MINGW_THREADS)
  set(bracket_mingw_suffix -${BRACKET_MINGW_THREADS})
endif()
# The compiler checks' own projects read this file again: they need the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRACKET_MINGW_THREADS)
set(CMAKE_C_COMPILER ${BRACKET_MINGW_PREFIX}-gcc${bracket_mingw_suffix})
set(CMAKE_CXX_COMPILER ${BRACKET_MINGW_PREFIX}-g++${bracket_mingw_suffix})
set(CMAKE_RC_COMPILER ${BRACKET_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRACKET_MINGW_PREFIX})
# Installed in a -dev.zip (lib/cmake/bracket), the file sits in the package
# it belongs to: the zip's folder is a root too, so find_package(bracket)
# needs no path.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/bracketConfig.cmake)
  get_filename_component(bracket_package_root ${CMAKE_CURRENT_LIST_DIR}/../../.. ABSOLUTE)
  list(APPEND CMAKE_FIND_ROOT_PATH ${bracket_package_root})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A self-contained .exe: only system DLLs (KERNEL32, msvcrt) stay dynamic,
# so the binary runs where no MinGW runtime is installed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
