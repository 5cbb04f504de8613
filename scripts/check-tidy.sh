#!/bin/sh
# Runs clang-tidy on the C++ sources changed by the last commit (or since
# RAVELMOOR_TIDY_BASE, a commit), against the build's compile_commands.json.
# A whole-tree run takes most of an hour on two cores, so the test looks at
# what changed; run it with RAVELMOOR_TIDY_BASE=<older commit> for more.
#   scripts/check-tidy.sh BUILD_DIR [CLANG_TIDY]
# Exits 77 (skipped) outside a git checkout or without a compilation database.
set -eu
cd "$(dirname "$0")/.."
BUILD=$1
TIDY=${2:-clang-tidy}
BASE=${RAVELMOOR_TIDY_BASE:-HEAD~1}
LIMIT=${RAVELMOOR_TIDY_LIMIT:-8}
if [ ! -f "$BUILD/compile_commands.json" ] || ! git rev-parse --verify -q "$BASE" >/dev/null; then
  echo "clang-tidy check skipped: no compilation database or no commit $BASE"
  exit 77
fi
files=$(git diff --name-only --diff-filter=AM "$BASE" -- 'src/*.cpp' 'tests/*.cpp' | head -n "$LIMIT")
if [ -z "$files" ]; then
  echo "clang-tidy check: no C++ source changed since $BASE"
  exit 0
fi
status=0
for f in $files; do
  # Only findings in our own files count: the analyzer also reports inside
  # Qt's headers (a widget made with a parent looks leaked to it).
  out=$("$TIDY" -p "$BUILD" --quiet "$f" 2>/dev/null | grep -E "^($PWD/)?(src|tests)/.*: (warning|error):" || true)
  if [ -n "$out" ]; then
    echo "$out"
    status=1
  fi
done
exit $status
