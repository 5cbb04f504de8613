#!/bin/sh
# Sets the machine up, builds, and runs every test. CI runs exactly this.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh dev
ctest --preset dev
# The fuzz targets (clang): their seeds, kept crashes and a few seconds each.
./scripts/build.sh fuzz
ctest --preset fuzz
