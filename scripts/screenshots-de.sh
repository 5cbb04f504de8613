#!/bin/sh
# Screenshots of the main window, the results window, the preview and the
# help in German (the compiled-in translation) on a virtual display, for
# checking that the translated texts fit and that no English is left.
# Usage: scripts/screenshots-de.sh [OUTPUT_FOLDER] (default: docs). Needs a
# built program and the packages of setup.sh.
set -eu
cd "$(dirname "$0")/.."
OUT=${1:-docs}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
PROGRAM=$(pwd)/build/dev/src/ravelmoor
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
./scripts/demo-times.sh
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME/KVOLT"
cat >"$XDG_CONFIG_HOME/KVOLT/Ravelmoor.ini" <<'INI'
[LS]
0=examples/demo/source
[LT]
0=examples/demo/target
[Settings]
SourceDir=examples/demo/source
TargetDir=examples/demo/target
RecDir=1
NumFil=1
Fil-t0=Exclude
Fil-e0=\\.bak$
wnd="90,60,1190,700,1,0"
INI
export LANGUAGE=de LANG=de_DE.UTF-8 LC_ALL=
xvfb-run -a -s "-screen 0 1280x800x24" sh -eu -c '
  OUT=$1 PROGRAM=$2
  "$PROGRAM" & P=$!
  main=$(xdotool search --sync --onlyvisible --name "^Ravelmoor\$" | head -n 1)
  sleep 0.5
  import -window "$main" "$OUT/main-window-de.png"
  # The help (F1), German pages.
  xdotool windowfocus --sync "$main" key F1
  help=$(xdotool search --sync --onlyvisible --name "^Ravelmoor-Hilfe\$" | head -n 1)
  sleep 0.5
  import -window "$help" "$OUT/help-de.png"
  kill $P; wait $P 2>/dev/null || true

  "$PROGRAM" examples/demo.zvs & P=$!
  # The main window carries the same title: wait for the second one.
  for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --name "^Ravelmoor \\[" | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
  results=$(xdotool search --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
  sleep 1
  # Method: the first after the blank one, picked from the drop-down list.
  xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
  sleep 0.5
  import -window "$results" "$OUT/results-window-de.png"
  # The preview ("Vorschau" comes second after the method box).
  xdotool windowfocus --sync "$results" key alt+m Tab Tab space
  preview=$(xdotool search --sync --onlyvisible --name "^Vorschau\$" | head -n 1)
  sleep 0.5
  import -window "$preview" "$OUT/preview-de.png"
  kill $P; wait $P 2>/dev/null || true
' sh "$OUT" "$PROGRAM"
