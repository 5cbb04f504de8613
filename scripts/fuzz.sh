#!/bin/sh
# Long fuzzing runs: builds the "fuzz" preset and runs one fuzz target (or
# each in turn) for SECONDS (default 600), on the seed corpus and a growing
# work corpus under build/fuzz/long/. Inputs that crash land in
# build/fuzz/long/<target>/; once fixed, copy them into fuzz/corpus/<target>/
# so that the "fuzz" tests replay them.
#   scripts/fuzz.sh [TARGET|all] [SECONDS] [JOBS]
# Targets: fuzz_ftp_listing fuzz_settings_file fuzz_regex fuzz_bmp fuzz_name_escape
set -eu
cd "$(dirname "$0")/.."
TARGET=${1:-all}
SECONDS_EACH=${2:-600}
JOBS=${3:-1}
./scripts/build.sh fuzz
if [ "$TARGET" = all ]; then
  TARGET="fuzz_ftp_listing fuzz_settings_file fuzz_regex fuzz_bmp fuzz_name_escape"
fi
PARALLEL=""
if [ "$JOBS" -gt 1 ]; then
  PARALLEL="-jobs=$JOBS -workers=$JOBS"
fi
status=0
for t in $TARGET; do
  work="build/fuzz/long/$t"
  mkdir -p "$work/corpus"
  echo "fuzz: $t for ${SECONDS_EACH}s"
  # shellcheck disable=SC2086
  QT_QPA_PLATFORM=offscreen "build/fuzz/fuzz/$t" -max_total_time="$SECONDS_EACH" \
    -rss_limit_mb=2048 -timeout=10 $PARALLEL \
    -artifact_prefix="$work/" "$work/corpus" "fuzz/corpus/$t" || status=1
done
exit $status
