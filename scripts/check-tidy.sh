#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the product sources that build/ compiles
# (command/, format/, platform/, portability/; tests are left out) and fails
# on any finding, printing each as file:line:column: warning: ... [check].
# Needs a configured build/ (scripts/build.sh), whose compile_commands.json
# gives each file's flags.
#   scripts/check-tidy.sh            every product file in build/
#   scripts/check-tidy.sh FILE...    only these files
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-tidy-14
database=build/compile_commands.json
if [ ! -f "$database" ]; then
  echo "tidy: FAILED: $database is missing: run scripts/build.sh first" >&2
  exit 1
fi

if [ $# -gt 0 ]; then
  files=("$@")
else
  # The files of the database that lie in the product's folders.
  mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$database" |
    sed "s|^$PWD/||" | grep -E '^(command|format|platform|portability)/' | sort -u)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: FAILED: no product files in $database" >&2
  exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One clang-tidy per file, as many at once as there are processors. Its
# summary lines ("N warnings generated") go to standard error; the findings
# and their notes to standard output.
# clang-tidy fails by itself only on errors (a file it cannot compile).
status=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 1 clang-tidy-14 -p build --quiet >"$log" 2>/dev/null || status=$?
findings=$(grep -cE ': (warning|error):' "$log" || true)
if [ "$findings" -gt 0 ] || [ "$status" -ne 0 ]; then
  # Paths relative to the repository, so the lines point at the files to mend.
  sed "s|$PWD/||" "$log" >&2
  echo "tidy: FAILED: $findings findings in the lines above (clang-tidy status $status); fix them, or disable the check in .clang-tidy with its reason" >&2
  exit 1
fi
echo "tidy: ${#files[@]} files, no findings"
