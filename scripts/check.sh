#!/usr/bin/env bash
# Checks the formatting, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-format.sh
# The manual page is rendered by groff, the installed tree is tried with
# pkg-config and the .deb is read back with dpkg-deb.
scripts/deps.sh groff-base pkgconf dpkg
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
