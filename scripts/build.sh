#!/bin/sh
# Configures and builds the project: preset "dev" unless one is named; any
# further words go to the build ("--target ravelmoor" builds the program
# alone). One compile job per core (Ninja's own default is one more).
set -eu
cd "$(dirname "$0")/.."
PRESET=${1:-dev}
[ $# -gt 0 ] && shift
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" --parallel "$(nproc)" "$@"
