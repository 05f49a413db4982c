#!/usr/bin/env bash
# Builds the command and runs it as a user would, with the argument vector
# given, then prints the exit status. The first word, "test" or "[", is the
# name the program is started under, as a shell starts it from the PATH: it
# sees exactly that name, so "[" gets the bracket form. Without arguments it
# runs a bracket-form example.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
build=$(preset_dir default)
if [ -x "$build/command/test" ]; then
  # Only what changed is rebuilt: quiet, unless it fails.
  log=$(mktemp)
  if ! scripts/build.sh >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
else
  echo "try: building $build/ for the first time (a minute or two; the test suites come along)" >&2
  scripts/build.sh >&2 || exit 1
fi
if [ $# -eq 0 ]; then set -- "[" -d / -a abc = abc "]"; fi
# The command as shipped: the musl build, or the glibc one without musl.
dir=$build/musl/command
[ -x "$dir/test" ] || dir=$build/command
case "$1" in
  test | "[") ;;
  *)
    echo "the first word names the program: test or [" >&2
    exit 2
    ;;
esac
name=$1
shift
# A subshell, so that exec replaces it rather than this script.
(exec -a "$name" "$dir/test" "$@")
status=$?
# The vector as it could be typed again; plain words (] included) as they are.
printf '%s' "$name"
for word in "$@"; do
  if [[ $word =~ ^[][A-Za-z0-9_./=:,+@%!-]+$ ]]; then printf ' %s' "$word"; else printf ' %q' "$word"; fi
done
printf '  -> exit status %d\n' "$status"
