#!/usr/bin/env bash
# Builds the packages into out/: the .tar.gz and the .deb of the Linux build
# (which lintian must accept), and with --windows also the two .zip files of
# each Windows cross build (win32 and win64: the programs, and the -dev.zip
# of the libraries). No test suite is built: the Linux packages come from a
# build of their own, the preset package (BRACKET_BUILD_TESTS=OFF).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
scripts/deps.sh cmake make g++ musl-tools groff-base dpkg lintian
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
cpack -B out --config "$(preset_dir package)/CPackConfig.cmake"
tests/packaging/check-lintian.sh out
if [ "${1:-}" = --windows ]; then
  scripts/build-windows.sh --no-suites
  for bits in 32 64; do
    cpack -B out --config "$(preset_dir "${windows_preset[$bits]}")/CPackConfig.cmake"
  done
fi
rm -rf out/_CPack_Packages
ls -l out
