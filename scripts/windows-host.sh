#!/usr/bin/env bash
# Decides which Windows build this host can run the suites against under
# Wine, and why. scripts/check.sh, scripts/build-windows.sh and the test
# build's CMake (tests/windows) all ask here, so they never disagree.
#
#   scripts/windows-host.sh [--install]
#
# Prints two lines: the choice, "32 LOADER", "64 LOADER" or "none", then the
# reason in words. Exits 0 when a Windows run is possible, 1 when none is.
# --install first installs the Wine loader a run needs (as root; otherwise
# it takes what is installed): the 32-bit one, and the 64-bit one when the
# 32-bit one cannot run here.
#
# BRACKET_WINDOWS_ARCH=32 or 64 asks for that build only; auto (the default)
# takes the 32-bit build where its loader runs, else the 64-bit one.
# BRACKET_WINE32 and BRACKET_WINE64 name other loaders (a Wine installed
# elsewhere, or a stand-in that tries the other answers).
set -euo pipefail
cd "$(dirname "$0")/.."
install=false
[ "${1:-}" = --install ] && install=true
arch=${BRACKET_WINDOWS_ARCH:-auto}
case "$arch" in
  32 | 64 | auto) ;;
  *)
    echo "windows-host: BRACKET_WINDOWS_ARCH is 32, 64 or auto, not '$arch'" >&2
    exit 2
    ;;
esac

declare -A loader=([32]=${BRACKET_WINE32:-/usr/lib/wine/wine} [64]=${BRACKET_WINE64:-/usr/lib/wine/wine64})
declare -A default_loader=([32]=/usr/lib/wine/wine [64]=/usr/lib/wine/wine64)
declare -A package=([32]=wine32:i386 [64]=wine64)
declare -A why_not

# kernel_refuses_i386: true when this kernel answers "Exec format error" to a
# 32-bit x86 program, which then no 32-bit Wine could help. The program is
# the smallest static ELF that exits 0: an ELF header, one loadable segment,
# and exit(0) by int 0x80 (xor ebx,ebx; mov eax,1; int 0x80).
kernel_refuses_i386() {
  local program error status=0
  program=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0' >"$program"
  printf '\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\61\333\270\1\0\0\0\315\200' >>"$program"
  chmod +x "$program"
  error=$("$program" 2>&1) || status=$?
  rm -f "$program"
  [ "$status" -ne 0 ] && [[ $error == *"Exec format error"* ]]
}

# probe BITS: true when that loader starts and exits 0 (it only prints its
# version: milliseconds); otherwise why_not[BITS] says what is wrong.
probe() {
  local bits=$1 error
  # Installing the 32-bit loader adds the i386 architecture to apt and takes
  # a minute; where the kernel runs no such program it could never start.
  if [ "$bits" = 32 ] && [ ! -x "${loader[32]}" ] && $install && kernel_refuses_i386; then
    why_not[32]="this kernel cannot run 32-bit x86 programs"
    return 1
  fi
  if [ ! -x "${loader[$bits]}" ] && $install && [ "${loader[$bits]}" = "${default_loader[$bits]}" ]; then
    # deps.sh names what it installs; this script's output is its answer.
    scripts/deps.sh wine "${package[$bits]}" >&2 || true
  fi
  if [ ! -x "${loader[$bits]}" ]; then
    why_not[$bits]="the $bits-bit Wine loader is not installed (${package[$bits]})"
    return 1
  fi
  if error=$("${loader[$bits]}" --version 2>&1 >/dev/null); then return 0; fi
  if [[ $error == *"Exec format error"* ]]; then
    why_not[$bits]="this kernel cannot run $bits-bit x86 programs"
  else
    why_not[$bits]="the $bits-bit Wine loader fails (${error%%$'\n'*})"
  fi
  return 1
}

answer() {
  if [ "$1" = none ]; then echo none; else echo "$1 ${loader[$1]}"; fi
  echo "$2"
}

runs_against() { echo "the Windows suites run against the $1-bit build"; }

if [ "$arch" != auto ]; then
  if probe "$arch"; then
    answer "$arch" "BRACKET_WINDOWS_ARCH=$arch: $(runs_against "$arch")"
    exit 0
  fi
  answer none "BRACKET_WINDOWS_ARCH=$arch, but ${why_not[$arch]}"
  exit 1
fi
if probe 32; then
  answer 32 "this host runs 32-bit x86 programs: $(runs_against 32)"
  exit 0
fi
if probe 64; then
  answer 64 "${why_not[32]}: $(runs_against 64)"
  exit 0
fi
hint=
[ "$(id -u)" -ne 0 ] && hint="; run as root to install what is missing"
answer none "no Windows run is possible here: ${why_not[32]}, and ${why_not[64]}$hint"
exit 1
