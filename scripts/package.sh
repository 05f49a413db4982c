#!/usr/bin/env bash
# Builds the packages into out/: the .tar.gz and the .deb of the Linux build
# (which lintian must accept), and with --windows also the two .zip files of
# each Windows cross build (win32 and win64: the programs, and the -dev.zip
# of the libraries). No test suite is built: the Linux packages come from a
# build of their own, build-package/, configured with BRACKET_BUILD_TESTS=OFF.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++ musl-tools groff-base dpkg lintian
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKET_BUILD_TESTS=OFF >/dev/null
cmake --build build-package -j "$(nproc)"
cpack --config build-package/CPackConfig.cmake -B out
tests/packaging/check-lintian.sh out
if [ "${1:-}" = --windows ]; then
  scripts/build-windows.sh --no-suites
  cpack --config build-windows/CPackConfig.cmake -B out
  cpack --config build-windows64/CPackConfig.cmake -B out
fi
rm -rf out/_CPack_Packages
ls -l out
