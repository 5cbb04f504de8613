#!/bin/sh
# Fails when a C++ file of ours is not formatted as .clang-format says.
set -eu
CLANG_FORMAT=${1:-clang-format}
cd "$(dirname "$0")/.."
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs "$CLANG_FORMAT" --dry-run --Werror
