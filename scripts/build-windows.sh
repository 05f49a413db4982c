#!/usr/bin/env bash
# Cross-builds the Windows command (test.exe and [.exe) and its test helpers
# with MinGW-w64 for both targets (the presets windows and windows64). Both
# always build, so neither can stop compiling unseen. Then, unless
# --no-suites is given, the unit suites' programs of the build this host
# runs the suites against (scripts/windows-host.sh), with the posix-threads
# compilers GoogleTest needs (the presets windows-suites and
# windows64-suites); the product keeps the default ones.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
suites=true
[ "${1:-}" = --no-suites ] && suites=false
scripts/deps.sh cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64

for bits in 32 64; do
  preset=${windows_preset[$bits]}
  echo "build-windows: the $bits-bit build in $(preset_dir "$preset")/"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done

$suites || exit 0
if ! host=$(scripts/windows-host.sh); then
  echo "build-windows: no unit suites: ${host#*$'\n'}" >&2
  exit 0
fi
bits=${host%% *}
preset=${windows_preset[$bits]}-suites
scripts/deps.sh "${windows_suites_compiler[$bits]}" libgtest-dev
echo "build-windows: the $bits-bit unit suites in $(preset_dir "$preset")/"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
