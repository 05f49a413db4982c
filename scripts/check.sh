#!/usr/bin/env bash
# Checks the formatting, builds everything and runs every test: the Linux
# build, and a Windows build (the command and the unit suites) under Wine.
# scripts/windows-host.sh says which Windows build this host runs, the
# 32-bit or the 64-bit one (BRACKET_WINDOWS_ARCH=32 or 64 forces one); both
# are always cross-built. The cross compilers and Wine are installed when
# missing, as root on Debian; otherwise the Windows stage is skipped, and
# says why. Under CI=true it is required: no Windows run at all is a failure.
# Ends with one summary line per platform.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
stage format scripts/check-format.sh

# ---- The tools, and which Windows build runs, if any ----
# choose_windows: installs them and sets windows_bits (empty for none) and
# windows_reason. It runs as a stage, where errexit does not reach.
windows_bits=
choose_windows() {
  # The manual page is rendered by groff, the installed tree is tried with
  # pkg-config, the packages are read back with dpkg-deb and judged by lintian,
  # and memcheck looks at the command.
  scripts/deps.sh groff-base pkgconf dpkg lintian valgrind || return
  # tmux holds the Wine console that the console test reads back.
  if ! scripts/deps.sh g++-mingw-w64-i686 g++-mingw-w64-x86-64 libgtest-dev tmux; then
    windows_reason="the cross builds need g++-mingw-w64-i686, g++-mingw-w64-x86-64, libgtest-dev and tmux; run as root to install them"
  else
    status=0
    host=$(scripts/windows-host.sh --install) || status=$?
    [ "$status" -le 1 ] || exit "$status"
    windows_reason=${host#*$'\n'}
    if [ "$status" -eq 0 ]; then
      windows_bits=${host%% *}
      compiler=${windows_suites_compiler[$windows_bits]}
      if ! scripts/deps.sh "$compiler"; then
        windows_reason="the Windows unit suites need $compiler; run as root to install it"
        windows_bits=
      fi
    fi
  fi
}
stage packages choose_windows

# The later stages' packages install while the Windows builds compile: apt
# waits on the network and the disk, the compilers on the processors. A
# failure here is no failure: each stage installs what it lacks itself.
# The packages' lock makes a stage that comes first wait for this.
prefetch=
if [ "$(id -u)" -eq 0 ]; then
  scripts/deps.sh "${build_packages[@]}" "${tidy_packages[@]}" "${linux_cross_packages[@]}" "$emulator_package" \
    "${fuzz_packages[@]}" >/dev/null 2>&1 &
  prefetch=$!
fi

# The preset default names no Windows build, which also drops the Windows
# tests an earlier run registered, so a later plain ctest runs none.
preset=default
if [ -n "$windows_bits" ]; then
  echo "check: Windows stage: $windows_reason"
  stage windows-build scripts/build-windows.sh
  preset=windows-wine
elif [ "${CI:-}" = true ]; then
  echo "check: FAILED: the Windows stage is required under CI=true, and $windows_reason" >&2
  exit 1
else
  echo "check: SKIPPING the Windows stage: $windows_reason" >&2
fi

stage build scripts/build.sh "$preset" -DBRACKET_WINDOWS_ARCH="${BRACKET_WINDOWS_ARCH:-auto}"
stage tidy scripts/check-tidy.sh

# ---- The suites, one run per platform ----
summaries=()
failed=false
# suite NAME TEST_PRESET: runs those tests and keeps a summary line.
suite() {
  local name=$1 log counts
  log=$(mktemp)
  if ctest --preset "$2" -j "$(nproc)" | tee "$log"; then
    counts=$(sed -n 's/^100% tests passed, 0 tests failed out of \([0-9]*\)$/\1 tests passed/p' "$log")
  else
    failed=true
    counts="FAILED: $(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\1 of \2 tests failed/p' "$log")"
  fi
  rm -f "$log"
  if [ -z "$counts" ]; then
    failed=true
    counts="FAILED: no test ran"
  fi
  summaries+=("check: $name: $counts")
}
stage linux-suite suite Linux linux
# The unit suites for i686 and aarch64 Linux, natively or under qemu-user;
# each prints its own summary line. They build and run while the Windows
# suite runs, which starts one Wine program at a time and leaves processors
# idle; their output waits until that suite is done.
cross_log=$(mktemp)
stage linux-cross scripts/check-linux-cross.sh >"$cross_log" 2>&1 &
cross=$!
# The Windows tests are RUN_SERIAL: CTest runs them one at a time.
if [ -n "$windows_bits" ]; then
  stage windows-suite suite "Windows $windows_bits-bit" windows
  windows_summary=${summaries[-1]}
  unset 'summaries[-1]'
else
  windows_summary="check: Windows: skipped: $windows_reason"
fi
cross_status=0
wait "$cross" || cross_status=$?
cat "$cross_log"
if [ "$cross_status" -eq 0 ]; then
  mapfile -t -O "${#summaries[@]}" summaries < <(sed -n 's/^linux /check: Linux /p' "$cross_log")
else
  failed=true
  summaries+=("check: Linux i686 and aarch64: FAILED")
fi
rm -f "$cross_log"
summaries+=("$windows_summary")
[ -z "$prefetch" ] || wait "$prefetch" || true
printf '%s\n' "${summaries[@]}"
if $failed; then exit 1; fi
