#!/bin/sh
# Screenshots of the progress dialog while a synchronisation copies a large
# file, in the default palette, the dark one and German, on a virtual display.
# Usage: scripts/screenshots-progress.sh [OUTPUT_FOLDER] (default: docs).
# Needs a built program and the packages of setup.sh; writes a 3 GB file in
# a temporary folder (removed at the end).
set -eu
cd "$(dirname "$0")/.."
OUT=${1:-docs}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
PROGRAM=$(pwd)/build/dev/src/ravelmoor
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export XDG_CONFIG_HOME="$WORK/config" XDG_STATE_HOME="$WORK/state" XDG_DATA_HOME="$WORK/data"
mkdir -p "$WORK/source/media" "$WORK/target"
cp -r examples/demo/source/. "$WORK/source/"
truncate -s 3G "$WORK/source/media/disk-image.iso"
"$PROGRAM" compare -r --save-settings "$WORK/pair.zvs" "$WORK/source" "$WORK/target" \
  >/dev/null 2>&1 || true

xvfb-run -a -s "-screen 0 1280x800x24" sh -eu -c '
  OUT=$1 PROGRAM=$2 WORK=$3
  for look in light dark de; do
    rm -rf "$WORK/target" && mkdir "$WORK/target"
    case $look in
      dark) set -- env RAVELMOOR_PALETTE=dark ;;
      de) set -- env LANGUAGE=de LANG=de_DE.UTF-8 LC_ALL= ;;
      *) set -- env ;;
    esac
    "$@" "$PROGRAM" "$WORK/pair.zvs" & P=$!
    for _ in $(seq 100); do
      [ "$(xdotool search --onlyvisible --name "^Ravelmoor \\[" | wc -l)" -ge 2 ] && break
      sleep 0.1
    done
    results=$(xdotool search --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
    sleep 1
    # The first method after the blank one, then Synchronise (third after
    # the method box) and Yes to the question.
    xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
    sleep 0.5
    xdotool key alt+m Tab Tab Tab space
    sleep 1
    xdotool key Return
    sleep 3
    progress=$(xdotool search --onlyvisible --name "^(Synchronising|Wird synchronisiert)\\.\\.\\.\$" | head -n 1)
    name=progress-sync-$look; [ "$look" = light ] && name=progress-sync
    import -window "$progress" "$OUT/$name.png"
    kill $P; wait $P 2>/dev/null || true
  done
' sh "$OUT" "$PROGRAM" "$WORK"
ls "$OUT"/progress-sync*.png
