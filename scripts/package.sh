#!/usr/bin/env bash
# Builds the packages into out/: the .tar.gz and the .deb of the Linux build
# (which lintian must accept), and with --windows also the .zip of each
# Windows cross build (win32 and win64, the same contents).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh groff-base dpkg lintian
scripts/build.sh
cpack --config build/CPackConfig.cmake -B out
tests/packaging/check-lintian.sh out
if [ "${1:-}" = --windows ]; then
  scripts/build-windows.sh --no-suites
  cpack --config build-windows/CPackConfig.cmake -B out
  cpack --config build-windows64/CPackConfig.cmake -B out
fi
rm -rf out/_CPack_Packages
ls -l out
