#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs the suite there; any sanitizer finding fails it.
# The Windows-target tests (label "windows") run a cross-built program under
# Wine, which the sanitizers do not reach, so they are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++ libgtest-dev
jobs=$(nproc); [ "$jobs" -gt 2 ] && jobs=2
cmake -S . -B build-sanitize -DBRACKET_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs" -LE windows
