#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (the preset sanitize) and runs the suite there; any sanitizer finding
# fails it. The Windows-target tests run a cross-built program under Wine,
# which the sanitizers do not reach, so the test preset leaves them out.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/builds.sh
scripts/deps.sh "${build_packages[@]}"
cmake --preset sanitize >/dev/null
stage sanitize-build cmake --build --preset sanitize
stage sanitize-suite ctest --preset sanitize
