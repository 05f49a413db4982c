#!/usr/bin/env bash
# Builds the benchmarks in build-bench/ and prints their tables: the
# command's cost per process beside the system's /usr/bin/test and two floors,
# then format_buffer beside snprintf, {fmt} and stb_sprintf. The peers and
# valgrind are benchmark-only dependencies, installed here (as root) and
# linked by nothing else. Arguments go to the formatter benchmark (for
# example --benchmark_filter=mixed); BENCH_ROUNDS sets the calls per program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++ valgrind libbenchmark-dev libfmt-dev libstb-dev
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKET_BENCH=ON -DBRACKET_BUILD_TESTS=OFF >/dev/null
# Two jobs at most: the benchmarks are meant to run beside other work.
cmake --build build-bench -j 2 >/dev/null

bare=()
[ -x build-bench/bench/bare_static ] && bare=(--bare build-bench/bench/bare_static)
echo "== the command, per process"
build-bench/bench/process_bench --ours build-bench/command/test --peer /usr/bin/test \
  --floor build-bench/bench/empty_static "${bare[@]}" --rounds "${BENCH_ROUNDS:-1000}"
echo
echo "== the formatter, per call"
build-bench/bench/format_bench "$@"
