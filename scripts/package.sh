#!/usr/bin/env bash
# Builds the packages into out/: the .tar.gz and the .deb of the Linux build
# (which lintian must accept), and with --windows also the .zip of the
# Windows cross build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh groff-base dpkg lintian
scripts/build.sh
cpack --config build/CPackConfig.cmake -B out
tests/packaging/check-lintian.sh out
if [ "${1:-}" = --windows ]; then
  scripts/build-windows.sh
  cpack --config build-windows/CPackConfig.cmake -B out
fi
rm -rf out/_CPack_Packages
ls -l out
