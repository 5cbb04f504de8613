#!/bin/sh
# Configures and builds the project (preset "dev" unless one is named).
set -eu
cd "$(dirname "$0")/.."
PRESET=${1:-dev}
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET"
