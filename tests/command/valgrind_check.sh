#!/usr/bin/env bash
# Runs the command under valgrind on expressions of every kind: no memory
# error anywhere, and no heap block for an expression that asks about no
# file. The command is the dynamically linked build of the same code:
# memcheck cannot see into a statically linked C library, whose own start-up
# and exit it reports as errors.
set -uo pipefail
command=$1
failed=0
check() {  # check EXPECTED_ALLOCS ARGS...
  local expected=$1; shift
  local log status allocs
  log=$(valgrind --error-exitcode=9 "$command" "$@" 2>&1 >/dev/null)
  status=$?
  allocs=$(printf '%s\n' "$log" | sed -n 's/.*total heap usage: \([0-9,]*\) allocs.*/\1/p')
  if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
    printf 'valgrind: status %s for test%s\n%s\n' "$status" "$(printf ' %q' "$@")" "$log"; failed=1
  elif [ "$expected" != any ] && [ "$allocs" != "$expected" ]; then
    printf 'valgrind: %s heap blocks (expected %s) for test%s\n' "$allocs" "$expected" "$(printf ' %q' "$@")"; failed=1
  fi
}
check 0 abc = abc -a 5 -gt 3
check 0 '(' a -o '' ')' -a ! -n '' -a 0x10 -eq 16
check 0 5 -a 3
check 0 '(' a = a x
check 0 -t 1 -o -z x
check 0 -r /etc/passwd -a -x / -a -e / -a -w /
check 1 -f /etc/passwd
check any -d / -a -s /etc/passwd -a ! -f /no/such/file
exit $failed
