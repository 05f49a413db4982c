#!/usr/bin/env bash
# Fuzzes one target for a bounded time: scripts/fuzz.sh TARGET SECONDS [ARG...]
# TARGET is format, codec or evaluator; further arguments go to libFuzzer
# (for example -runs=N instead of a time bound: give SECONDS as 0).
# Builds the targets with clang++ (the preset fuzz). The committed seeds in
# fuzz/corpus/TARGET are read, never written; what the run learns is kept in
# the build's corpus/TARGET for the next run, and a failing input is saved
# in its artifacts/. One process, one worker: the machine stays usable.
#   scripts/fuzz.sh --build-only TARGET...   builds those targets, runs none
#   scripts/fuzz.sh --built TARGET SECONDS ...   runs without building, so
#                                    that several may run at once
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
build=true
case "${1:-}" in
  --build-only) build=only && shift ;;
  --built) build=false && shift ;;
esac
if [ "$build" != only ] && [ $# -lt 2 ]; then
  echo "usage: scripts/fuzz.sh [--built] TARGET SECONDS [libFuzzer argument...], or scripts/fuzz.sh --build-only TARGET..." >&2
  exit 2
fi
if [ "$build" != false ]; then
  scripts/deps.sh "${fuzz_packages[@]}"
  cmake --preset fuzz >/dev/null
  if [ "$build" = only ]; then
    cmake --build --preset fuzz --target "${@/%/_fuzz}" >/dev/null
    exit 0
  fi
  cmake --build --preset fuzz --target "$1_fuzz" >/dev/null
fi
target=$1 seconds=$2
shift 2
dir=$(preset_dir fuzz)
mkdir -p "$dir/corpus/$target" "$dir/artifacts"
time_bound=()
[ "$seconds" -gt 0 ] && time_bound=(-max_total_time="$seconds")
exec "$dir/fuzz/${target}_fuzz" "$dir/corpus/$target" "fuzz/corpus/$target" \
  "${time_bound[@]}" -artifact_prefix="$dir/artifacts/$target-" -print_final_stats=1 "$@"
