#!/usr/bin/env bash
# Builds the unit suites of the formatting library and the portability layer
# for 32-bit x86 (i686) and 64-bit Arm (aarch64) Linux (the presets
# linux-i686 and linux-aarch64), and runs them: natively where this
# machine's kernel runs the target's programs, otherwise under qemu-user. 32-bit
# pointers and long, and Arm's unsigned char, find faults that x86-64 hides.
# Prints one line per platform, for example "linux i686: 212 tests passed".
# Without the cross compilers (and not root to install them) it says so and
# stops with status 0, unless CI=true, where the stage is required.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
packages=("${linux_cross_packages[@]}")
if ! scripts/deps.sh "${packages[@]}"; then
  if [ "${CI:-}" = true ]; then
    echo "check: FAILED: the i686 and aarch64 stage is required under CI and needs ${packages[*]}" >&2
    exit 1
  fi
  echo "check: SKIPPING the i686 and aarch64 unit suites: they need ${packages[*]}; run as root to install them" >&2
  exit 0
fi

for arch in i686 aarch64; do
  preset=linux-$arch triple=$arch-linux-gnu
  dir=$(preset_dir "$preset")
  mkdir -p "$dir"
  # The suites are linked statically, as is this probe: whether it starts
  # says whether the kernel runs the target's programs itself.
  printf 'int main() { return 0; }\n' >"$dir/probe.cpp"
  "$triple-g++" -static -o "$dir/probe" "$dir/probe.cpp"
  if "$dir/probe" 2>/dev/null; then
    emulator= how=natively
  else
    scripts/deps.sh "$emulator_package"
    qemu=qemu-$arch
    [ "$arch" = i686 ] && qemu=qemu-i386
    emulator="$qemu;-L;/usr/$triple" how="under $qemu"
  fi
  log=$dir/check.log
  # Only the emulator depends on this host; the preset says the rest.
  if ! { cmake --preset "$preset" -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" &&
    cmake --build --preset "$preset" -j "$(nproc)"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "check: FAILED: the linux $arch unit suites did not build" >&2
    exit 1
  fi
  ctest --preset "$preset" -j "$(nproc)" >"$log" 2>&1 || {
    cat "$log" >&2
    echo "check: FAILED: linux $arch ($how)" >&2
    exit 1
  }
  # GoogleTest's own count: a CTest test here is a whole suite, or one test.
  passed=$(grep -hoE '^\[  PASSED  \] [0-9]+ tests?' "$dir/Testing/Temporary/LastTest.log" | awk '{n += $4} END {print n + 0}')
  echo "linux $arch: $passed tests passed ($how)"
done
