#!/usr/bin/env bash
# Builds the benchmarks (the preset bench) and prints their tables: the
# command's cost per process (the shipped musl build, and the static glibc
# one) beside the system's /usr/bin/test and two floors,
# then format_buffer and the C++ face beside a hand-written floor, snprintf,
# {fmt} (also with compiled formats) and stb_sprintf, and the code a plan
# adds to ten checked formats. The peers and
# valgrind are benchmark-only dependencies, installed here (as root) and
# linked by nothing else. Arguments go to the formatter benchmark (for
# example --benchmark_filter=mixed); BENCH_ROUNDS sets the calls per program.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
scripts/deps.sh cmake make g++ musl-tools valgrind libbenchmark-dev libfmt-dev libstb-dev
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
dir=$(preset_dir bench)

ours=$dir/musl/command/test glibc=(--glibc "$dir/command/test")
if [ ! -x "$ours" ]; then
  echo "bench: no musl build (musl-tools): ours is the static glibc build"
  ours=$dir/command/test glibc=()
fi
# Stripped as the install strips it (packaging/command.cmake).
strip --strip-all --remove-section=.comment --remove-section=.note -o "$dir/test.stripped" "$ours"
echo "== the command, per process"
"$dir/bench/process_bench" --ours "$ours" "${glibc[@]}" --peer /usr/bin/test \
  --floor "$dir/bench/empty_static" --bare "$dir/bench/bare_static" --stripped "$dir/test.stripped" \
  --rounds "${BENCH_ROUNDS:-1000}"
echo
echo "== the formatter, per call"
"$dir/bench/format_bench" "$@"
echo
echo "== ten checked formats (bench/size_probe.cpp): planned, and run by the engine"
size "$dir/bench/size_probe_1" "$dir/bench/size_probe_0"
