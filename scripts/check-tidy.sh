#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the product sources (command/, format/,
# platform/, portability/; tests are left out) and fails on any finding,
# printing each as file:line:column: warning: ... [check]. Each file is
# checked with the flags its build gives it: those of build/ (the preset
# default; scripts/build.sh), and for the files only the Windows build
# compiles (the Win32 backend), those of build-windows/ (the preset
# windows; scripts/build-windows.sh), when that build is there.
#   scripts/check-tidy.sh            every product file
#   scripts/check-tidy.sh FILE...    only these files, with build/'s flags
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
scripts/deps.sh "${tidy_packages[@]}"
linux=$(preset_dir default) windows=$(preset_dir windows)
if [ ! -f "$linux/compile_commands.json" ]; then
  echo "tidy: FAILED: $linux/compile_commands.json is missing: run scripts/build.sh first" >&2
  exit 1
fi

# product_files BUILD: the files of that build's compile database that lie
# in the product's folders.
product_files() {
  cmake -DDATABASE="$1/compile_commands.json" -P scripts/compiled-files.cmake | sed "s|^$PWD/||" |
    grep -E '^(command|format|platform|portability)/' | sort -u
}

windows_files=()
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(product_files "$linux")
  if [ -f "$windows/compile_commands.json" ]; then
    mapfile -t windows_files < <(comm -13 <(printf '%s\n' "${files[@]}") <(product_files "$windows"))
  else
    echo "tidy: no $windows/ (scripts/build-windows.sh): the Win32 backend is not checked" >&2
  fi
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: FAILED: no product files in $linux/compile_commands.json" >&2
  exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# One clang-tidy per file, as many at once as there are processors. Its
# summary lines ("N warnings generated") go to standard error; the findings
# and their notes to standard output.
# clang-tidy fails by itself only on errors (a file it cannot compile).
status=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 1 clang-tidy-14 -p "$linux" --quiet >"$log" 2>/dev/null || status=$?
if [ ${#windows_files[@]} -gt 0 ]; then
  # clang finds the MinGW-w64 C headers by the compiler's target, but not
  # its C++ library's: those come from the cross compiler itself.
  # The compiler is the first word of the database's first command.
  compiler=$(sed -n 's/^ *"command": "\([^ ]*\) .*$/\1/p' "$windows/compile_commands.json" | head -n 1)
  mapfile -t cxx_headers < <("$compiler" -E -x c++ -v - </dev/null 2>&1 | sed -n 's|^ \(/.*/include/c++.*\)$|--extra-arg=-isystem\1|p')
  printf '%s\n' "${windows_files[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy-14 -p "$windows" --quiet "${cxx_headers[@]}" >>"$log" 2>/dev/null || status=$?
fi
findings=$(grep -cE ': (warning|error):' "$log" || true)
if [ "$findings" -gt 0 ] || [ "$status" -ne 0 ]; then
  # Paths relative to the repository, so the lines point at the files to mend.
  sed "s|$PWD/||" "$log" >&2
  echo "tidy: FAILED: $findings findings in the lines above (clang-tidy status $status); fix them, or disable the check in .clang-tidy with its reason" >&2
  exit 1
fi
echo "tidy: $((${#files[@]} + ${#windows_files[@]})) files, no findings (${#windows_files[@]} with the Windows build's flags)"
