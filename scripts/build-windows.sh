#!/usr/bin/env bash
# Cross-builds the Windows command (test.exe and [.exe) and its test
# launcher in build-windows/ with MinGW-w64, and the unit suites' programs
# in build-windows/unit-suites/: GoogleTest, built there from Debian's
# sources, needs the posix-threads compilers, the product keeps the default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++-mingw-w64-i686 g++-mingw-w64-i686-posix googletest
toolchain=-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
cmake -S . -B build-windows --no-warn-unused-cli "$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows -j "$(nproc)"
cmake -S . -B build-windows/unit-suites --no-warn-unused-cli "$toolchain" -DBRACKET_MINGW_THREADS=posix -DBRACKET_BUILD_TESTS=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows/unit-suites -j "$(nproc)" --target bracket_unit_suites
