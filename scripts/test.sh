#!/bin/sh
# Sets the machine up, builds, and runs every test: the main suite (dev
# preset), then the fuzz targets (clang). Both halves always run, and both
# are reported; the script fails when either failed, or when a test run
# changed the machine (scripts/machine-guard.sh). CI runs exactly this.
# RAVELMOOR_SANITIZE_TESTS=1 also builds the "asan" preset and runs the tests
# under the address and undefined-behaviour sanitizers (not in CI by default:
# on two cores it adds about ten minutes, past CI's time budget).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
jobs=$(nproc)
guard=$(mktemp)
trap 'rm -f "$guard"' EXIT

# Runs one half: build, then the tests between a record and a check of the
# machine. Prints its verdict; returns non-zero when anything failed.
half() {
  preset=$1
  if ! ./scripts/build.sh "$preset"; then
    echo "test.sh: the $preset build failed"
    return 1
  fi
  ./scripts/machine-guard.sh record "$guard" || return 1
  result=0
  ctest --preset "$preset" --parallel "$jobs" || result=1
  ./scripts/machine-guard.sh check "$guard" || result=1
  return $result
}

main=passed
half dev || main=FAILED
fuzz=passed
half fuzz || fuzz=FAILED
sanitized=""
if [ "${RAVELMOOR_SANITIZE_TESTS:-0}" = 1 ]; then
  sanitized=passed
  half asan || sanitized=FAILED
fi

echo "test.sh: main suite $main, fuzz targets $fuzz${sanitized:+, sanitizers $sanitized}"
[ "$main" = passed ] && [ "$fuzz" = passed ] && [ "${sanitized:-passed}" = passed ]
