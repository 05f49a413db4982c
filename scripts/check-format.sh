#!/usr/bin/env bash
# Checks the C++ sources against .clang-format.
#   scripts/check-format.sh            every tracked C++ file
#   scripts/check-format.sh --changed  only those changed since the merge base with main
#   scripts/check-format.sh --fix      rewrites the files instead of checking them
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-format

mode=check
scope=all
for argument in "$@"; do
  case "$argument" in
    --fix) mode=fix ;;
    --changed) scope=changed ;;
    *) echo "usage: scripts/check-format.sh [--changed] [--fix]" >&2; exit 2 ;;
  esac
done

patterns=('*.cpp' '*.h' '*.hpp' '*.cc')
if [ "$scope" = changed ]; then
  base=$(git merge-base HEAD main 2>/dev/null || git merge-base HEAD origin/main)
  mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$base" -- "${patterns[@]}")
else
  mapfile -t files < <(git ls-files -- "${patterns[@]}")
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no C++ files to check"
  exit 0
fi

if [ "$mode" = fix ]; then
  clang-format -i "${files[@]}"
  echo "format: rewrote ${#files[@]} files"
elif clang-format --dry-run --Werror "${files[@]}"; then
  echo "format: ${#files[@]} files match .clang-format"
else
  echo "format: FAILED: run scripts/check-format.sh --fix and commit the result" >&2
  exit 1
fi
