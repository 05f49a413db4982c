#!/usr/bin/env bash
# Cross-builds the Windows command (test.exe and [.exe) and its test helpers
# with MinGW-w64 for both targets: 32-bit in build-windows/, 64-bit in
# build-windows64/. Both always build, so neither can stop compiling
# unseen. Then, unless --no-suites is given, the unit suites' programs of
# the build this host runs the suites against (scripts/windows-host.sh) in
# its unit-suites/: GoogleTest, built there from Debian's sources, needs the
# posix-threads compilers, the product keeps the default.
set -euo pipefail
cd "$(dirname "$0")/.."
suites=true
[ "${1:-}" = --no-suites ] && suites=false
scripts/deps.sh cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64

declare -A directory=([32]=build-windows [64]=build-windows64)
declare -A toolchain=([32]=cmake/mingw-w64-i686.cmake [64]=cmake/mingw-w64-x86_64.cmake)
declare -A compilers=([32]=g++-mingw-w64-i686-posix [64]=g++-mingw-w64-x86-64-posix)
configure() {
  cmake -S . -B "$1" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE="$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:3}" >/dev/null
}

for bits in 32 64; do
  echo "build-windows: the $bits-bit build in ${directory[$bits]}/"
  configure "${directory[$bits]}" "${toolchain[$bits]}"
  cmake --build "${directory[$bits]}" -j "$(nproc)"
done

$suites || exit 0
if ! host=$(scripts/windows-host.sh); then
  echo "build-windows: no unit suites: ${host#*$'\n'}" >&2
  exit 0
fi
bits=${host%% *}
scripts/deps.sh "${compilers[$bits]}" googletest
echo "build-windows: the $bits-bit unit suites in ${directory[$bits]}/unit-suites/"
configure "${directory[$bits]}/unit-suites" "${toolchain[$bits]}" -DBRACKET_MINGW_THREADS=posix -DBRACKET_BUILD_TESTS=ON
cmake --build "${directory[$bits]}/unit-suites" -j "$(nproc)" --target bracket_unit_suites
