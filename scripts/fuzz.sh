#!/usr/bin/env bash
# Fuzzes one target for a bounded time: scripts/fuzz.sh TARGET SECONDS [ARG...]
# TARGET is format, codec or evaluator; further arguments go to libFuzzer
# (for example -runs=N instead of a time bound: give SECONDS as 0).
# Builds the targets with clang++ in build-fuzz/. The committed seeds in
# fuzz/corpus/TARGET are read, never written; what the run learns is kept in
# build-fuzz/corpus/TARGET for the next run, and a failing input is saved in
# build-fuzz/artifacts/. One process, one worker: the machine stays usable.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer argument...]" >&2
  exit 2
fi
target=$1 seconds=$2
shift 2
scripts/deps.sh cmake make clang libclang-rt-dev
jobs=$(nproc); [ "$jobs" -gt 2 ] && jobs=2
cmake -S . -B build-fuzz -DBRACKET_FUZZ=ON -DBRACKET_BUILD_TESTS=OFF \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$jobs" --target "${target}_fuzz" >/dev/null
mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts
time_bound=()
[ "$seconds" -gt 0 ] && time_bound=(-max_total_time="$seconds")
exec "build-fuzz/fuzz/${target}_fuzz" "build-fuzz/corpus/$target" "fuzz/corpus/$target" \
  "${time_bound[@]}" -artifact_prefix="build-fuzz/artifacts/$target-" -print_final_stats=1 "$@"
