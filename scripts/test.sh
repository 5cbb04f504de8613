#!/bin/sh
# Sets the machine up, builds, and runs every test. CI runs exactly this.
# RAVELMOOR_SANITIZE_TESTS=1 also builds the "asan" preset and runs the tests
# under the address and undefined-behaviour sanitizers (not in CI by default:
# on two cores it adds about ten minutes, past CI's time budget).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh dev
ctest --preset dev
# The fuzz targets (clang): their seeds, kept crashes and a few seconds each.
./scripts/build.sh fuzz
ctest --preset fuzz
if [ "${RAVELMOOR_SANITIZE_TESTS:-0}" = 1 ]; then
  ./scripts/build.sh asan
  ctest --preset asan
fi
