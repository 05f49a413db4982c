#!/usr/bin/env bash
# Builds the command and runs it as a user would, with the argument vector
# given (its first word, "test" or "[", picks the name), then prints the exit
# status. Without arguments it runs a bracket-form example.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null || exit 1
if [ $# -eq 0 ]; then set -- "[" -d / -a abc = abc "]"; fi
# The command as shipped: the musl build, or the glibc one without musl.
dir=build/musl/command
[ -x "$dir/test" ] || dir=build/command
case "$1" in
  "[") program=$dir/[ ;;
  test) program=$dir/test ;;
  *) echo "the first word names the program: test or [" >&2; exit 2 ;;
esac
name=$1; shift
"$program" "$@"
status=$?
printf '%s' "$name"; printf ' %q' "$@"; printf '  -> exit status %d\n' "$status"
