#!/usr/bin/env bash
# Cross-builds the Windows command (test.exe and [.exe) and its test
# launcher in build-windows/ with MinGW-w64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++-mingw-w64-i686
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows -j "$(nproc)"
