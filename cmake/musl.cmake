# The command for Linux, linked statically against musl: the C library made
# for small static programs, whose start-up is a few hundred instructions.
# musl-gcc (Debian: musl-tools) compiles C++ too, with musl's headers and
# GCC's own in place of the system's: the product needs no C++ library, so
# libstdc++'s headers, configured for glibc, are left out, and the link adds
# no libstdc++. Only the command and what it links are built this way.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CMAKE_HOST_SYSTEM_PROCESSOR})
find_program(BRACKET_MUSL_GCC musl-gcc REQUIRED)
set(CMAKE_CXX_COMPILER ${BRACKET_MUSL_GCC})
# Tells the build to leave out what needs the C++ library (the formatting
# library's C++ face): the command reaches none of it.
set(BRACKET_NO_CXX_LIBRARY ON)
