#!/usr/bin/env bash
# Makes sure the Debian packages named as arguments are installed: installs
# the missing ones when run as root, otherwise names them and fails.
set -euo pipefail
missing=()
for package in "$@"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages: ${missing[*]} (run as root, or: sudo apt-get install ${missing[*]})" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# Two scripts may install at once (a build beside a test run): the second
# waits for the package database instead of failing on its lock.
wait_for_lock=(-o DPkg::Lock::Timeout=600)
# A mirror in the middle of a sync fails one index or another (apt-get
# update then exits 100): the packages asked for are usually still in the
# indexes that came, so the install below decides.
apt-get "${wait_for_lock[@]}" update -qq || echo "deps: apt-get update failed for some index; installing from what it has" >&2
apt-get "${wait_for_lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
