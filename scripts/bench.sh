#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ and prints their tables: the
# command's cost per process (the shipped musl build, and the static glibc
# one) beside the system's /usr/bin/test and two floors,
# then format_buffer beside snprintf, {fmt} and stb_sprintf. The peers and
# valgrind are benchmark-only dependencies, installed here (as root) and
# linked by nothing else. Arguments go to the formatter benchmark (for
# example --benchmark_filter=mixed); BENCH_ROUNDS sets the calls per program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++ musl-tools valgrind libbenchmark-dev libfmt-dev libstb-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKET_BENCH=ON -DBRACKET_BUILD_TESTS=OFF >/dev/null
# Two jobs at most: the benchmarks are meant to run beside other work.
cmake --build build-bench -j 2 >/dev/null

ours=build-bench/musl/command/test glibc=(--glibc build-bench/command/test)
if [ ! -x "$ours" ]; then
  echo "bench: no musl build (musl-tools): ours is the static glibc build"
  ours=build-bench/command/test glibc=()
fi
# Stripped as the install strips it (command/CMakeLists.txt).
strip --strip-all --remove-section=.comment --remove-section=.note -o build-bench/test.stripped "$ours"
echo "== the command, per process"
build-bench/bench/process_bench --ours "$ours" "${glibc[@]}" --peer /usr/bin/test \
  --floor build-bench/bench/empty_static --bare build-bench/bench/bare_static --stripped build-bench/test.stripped \
  --rounds "${BENCH_ROUNDS:-1000}"
echo
echo "== the formatter, per call"
build-bench/bench/format_bench "$@"
