#!/usr/bin/env bash
# Builds the command, its libraries and the tests in build/:
#   scripts/build.sh [PRESET] [-DVARIABLE=VALUE...]
# PRESET is default, or windows-wine to run the suites against the Windows
# builds too (CMakePresets.json); further arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
scripts/deps.sh "${build_packages[@]}"
preset=default
if [ $# -gt 0 ] && [[ $1 != -* ]]; then
  preset=$1
  shift
fi
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
