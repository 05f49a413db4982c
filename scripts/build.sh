#!/usr/bin/env bash
# Builds the command, its libraries and the tests in build/. Arguments are
# passed on to the configure step (for example -DBRACKET_WINDOWS_BUILD_DIR=...).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh cmake make g++ libgtest-dev musl-tools
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j "$(nproc)"
