#!/usr/bin/env bash
# Runs lintian --pedantic on the .deb files in DIR (package.linux's work
# directory, or the out/ of scripts/package.sh); any error or warning fails.
# What the package does on purpose is overridden inside it, with its reason
# (packaging/debian/lintian-overrides).
#   check-lintian.sh DIR        (exit 77, skipped, without lintian)
set -euo pipefail
dir=$1
command -v lintian >/dev/null || {
  echo "lintian is not installed (Debian: lintian)"
  exit 77
}
debs=("$dir"/bracket_*.deb)
[ -f "${debs[0]}" ] || {
  echo "FAILED: no .deb in $dir" >&2
  exit 1
}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
lintian --pedantic --display-info --fail-on error,warning "${debs[@]}" >"$log" 2>&1 || status=$?
# As root lintian says so every time; that line alone is left out.
grep -v 'running with root privileges' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "FAILED: lintian finds an error or a warning (status $status)" >&2
  exit 1
fi
echo "lintian accepts ${debs[*]##*/}"
