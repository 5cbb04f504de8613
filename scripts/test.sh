#!/bin/sh
# Sets the machine up, builds, and runs every test. CI runs exactly this.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh dev
ctest --preset dev
