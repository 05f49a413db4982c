#!/usr/bin/env bash
# Checks the formatting, builds everything and runs every test: the Linux
# build, and the Windows build (the command and the unit suites) under Wine
# when the cross compilers and Wine are installed or can be (as root on
# Debian). Under CI=true the Windows stage is required.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-format.sh
# The manual page is rendered by groff, the installed tree is tried with
# pkg-config, the packages are read back with dpkg-deb, and memcheck looks
# at the command.
scripts/deps.sh groff-base pkgconf dpkg valgrind

windows_build=
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-i686-posix googletest wine wine32:i386)
if scripts/deps.sh "${windows_packages[@]}"; then
  scripts/build-windows.sh
  windows_build=$PWD/build-windows
elif [ "${CI:-}" = true ]; then
  echo "check: FAILED: the Windows stage is required under CI and needs ${windows_packages[*]}" >&2
  exit 1
else
  echo "check: SKIPPING the Windows stage (test.exe under Wine): it needs ${windows_packages[*]}; run as root to install them" >&2
fi

# An empty BRACKET_WINDOWS_BUILD_DIR also drops the Windows tests an earlier
# run registered.
scripts/build.sh -DBRACKET_WINDOWS_BUILD_DIR="$windows_build"
scripts/check-tidy.sh
# The Windows tests are RUN_SERIAL: CTest runs them one at a time.
ctest --test-dir build --output-on-failure -j "$(nproc)"
