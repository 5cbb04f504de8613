#!/bin/sh
# Takes screenshots of the desktop program on a virtual display: the main
# window, the results window with a sync method chosen, its context menu and
# the preview (for the README), the two-way marks (light and dark), the progress dialog, General Settings, Filters,
# FTP Connections and the FTP directory browser (against a local test server);
# then the main window and the results window again over a sample skin, with
# the background switched off, in a dark palette and at scale 2.
# Usage: scripts/screenshots.sh [OUTPUT_FOLDER]   (default: build/screenshots)
# Needs a built program (scripts/build.sh) and the packages of setup.sh.
set -eu
cd "$(dirname "$0")/.."
OUT=${1:-build/screenshots}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
PROGRAM=$(pwd)/build/dev/src/ravelmoor
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
./scripts/demo-times.sh
./scripts/make-skin.py "$WORK/linen.bmp"

# A settings store of its own: the demo pair, as a user would have left it.
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
NumFil=2
Fil-t0=Exclude
Fil-e0=\\.bak$
Fil-t1=Exclude
Fil-e1=(^|/)\\.git(/|$)
wnd="90,60,1190,700,1,0"
wndlists="250,70,150"
wndlistt="250,70,150"
INI
# A slow pair for the progress dialog: large sparse files compared by CRC.
mkdir -p "$WORK/big/source/data" "$WORK/big/target/data"
"$PROGRAM" compare -r --method crc --save-settings "$WORK/big.zvs" \
  "$WORK/big/source" "$WORK/big/target" >/dev/null 2>&1
for side in source target; do
  cp -r examples/demo/source/* "$WORK/big/$side/"
  truncate -s 8G "$WORK/big/$side/data/disk.img"
done

# A pair synchronised both ways once, then changed on both sides (its
# memory in a state folder of its own): the two-way marks between the
# lists, a conflict and its facts.
export XDG_STATE_HOME="$WORK/state"
mkdir -p "$WORK/tw/source" "$WORK/tw/target"
cp -rp examples/demo/source/. "$WORK/tw/source/"
cp -rp examples/demo/source/. "$WORK/tw/target/"
"$PROGRAM" sync --method two-way -r --yes "$WORK/tw/source" "$WORK/tw/target" >/dev/null
echo "buy milk" >>"$WORK/tw/source/notes/todo.txt"
echo "Q1,revised" >>"$WORK/tw/target/reports/2024/q1.csv"
rm "$WORK/tw/source/drafts/letter.txt"
echo "an idea from the laptop" >>"$WORK/tw/source/notes/ideas.txt"
echo "an idea from the stick, a longer one" >>"$WORK/tw/target/notes/ideas.txt"
cp -p examples/demo/target/config.ini "$WORK/tw/target/"
"$PROGRAM" compare -r --save-settings "$WORK/tw.zvs" "$WORK/tw/source" "$WORK/tw/target" \
  >/dev/null 2>&1 || true

# An FTP server on 127.0.0.1 with a copy of the demo Target, and a stored
# connection to it (no user: anonymous).
mkdir -p "$WORK/served/pub/site" "$WORK/served/pub/docs" "$WORK/served/incoming"
cp -r examples/demo/target/. "$WORK/served/pub/site/"
/usr/bin/python3 tests/support/ftp_test_server.py --dir "$WORK/served" >"$WORK/ftp-port" &
FTP_PID=$!
trap 'kill $FTP_PID 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do grep -q PORT "$WORK/ftp-port" && break; sleep 0.1; done
FTP_SERVER="127.0.0.1:$(sed -n 's/^PORT //p' "$WORK/ftp-port")"
"$PROGRAM" ftp add --server "$FTP_SERVER" --dir /pub/site/ >/dev/null

xvfb-run -a -s "-screen 0 1280x800x24" sh -eu -c '
  OUT=$1 PROGRAM=$2 WORK=$3 FTP_SERVER=$4
  find_window() { xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
  shoot() {  # shoot NAME WINDOW-TITLE
    id=$(find_window "$2")
    sleep 0.5
    import -window "$id" "$OUT/$1.png"
  }
  close() {  # close WINDOW-TITLE: Escape, as a user would
    xdotool windowfocus --sync "$(find_window "$1")" key Escape
    sleep 0.3
  }
  settings_menu() {  # settings_menu KEY: picks an item of the Settings menu
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 25)) $((Y + 8)) click 1
    sleep 0.3
    xdotool key "$1"
  }

  "$PROGRAM" & P=$!
  main=$(find_window Ravelmoor)
  shoot main-window Ravelmoor
  settings_menu g; shoot general-settings "General Settings"; close "General Settings"
  settings_menu f; shoot filters "Filters"; close "Filters"
  # FTP Connections: the stored connection picked from the name box (the
  # server box has the focus), then the browse button beside the directory.
  settings_menu c; find_window "FTP Connections" >/dev/null
  xdotool key shift+Tab Down; sleep 0.3
  shoot ftp-connections "FTP Connections"
  xdotool key Tab Tab Tab Tab Tab space
  shoot ftp-directory "$FTP_SERVER"
  close "$FTP_SERVER"; close "FTP Connections"
  kill $P; wait $P 2>/dev/null || true

  # The demo pair compared from its settings file; the results window opens.
  "$PROGRAM" examples/demo.zvs & P=$!
  results=$(xdotool search --sync --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$results")"
  # Method: Align Source and Target, picked from the drop-down list.
  xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
  sleep 0.5
  import -window "$results" "$OUT/results-window.png"
  # A row of the Source list, then its context menu.
  xdotool mousemove $((X + 160)) $((Y + 72)) click 1 sleep 0.3 click 3
  sleep 0.5
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$OUT/context-menu.png"
  xdotool key Escape
  sleep 0.3
  # "Preview" comes second after the method box.
  xdotool windowfocus --sync "$results" key alt+m Tab Tab space
  shoot preview Preview
  close Preview
  kill $P; wait $P 2>/dev/null || true

  "$PROGRAM" "$WORK/big.zvs" & P=$!
  sleep 2.5
  shoot progress "Comparing Files and Sub-Folders..."
  kill $P; wait $P 2>/dev/null || true

  # The main window and the results window over the sample skin, then with
  # the background off ("background" and "Skin" in the per-user store).
  ini="$XDG_CONFIG_HOME/KVOLT/Ravelmoor.ini"
  for look in skin plain; do
    if [ "$look" = skin ]; then
      sed -i "/^\[Settings\]/a Skin=$WORK/linen.bmp" "$ini"
    else
      sed -i "/^Skin=/d; /^background=/d; /^\[Settings\]/a background=0" "$ini"
    fi
    "$PROGRAM" & P=$!
    main=$(find_window Ravelmoor)
    shoot "main-window-$look" Ravelmoor
    kill $P; wait $P 2>/dev/null || true
    "$PROGRAM" examples/demo.zvs & P=$!
    results=$(xdotool search --sync --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
    sleep 1
    xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
    sleep 0.5
    import -window "$results" "$OUT/results-window-$look.png"
    kill $P; wait $P 2>/dev/null || true
  done

  # The main window and the results window in a dark palette, over the
  # built-in background.
  sed -i "/^Skin=/d; /^background=/d" "$ini"
  for look in dark; do
    set -- env RAVELMOOR_PALETTE=dark
    "$@" "$PROGRAM" & P=$!
    main=$(find_window Ravelmoor)
    shoot "main-window-$look" Ravelmoor
    kill $P; wait $P 2>/dev/null || true
    "$@" "$PROGRAM" examples/demo.zvs & P=$!
    results=$(xdotool search --sync --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
    sleep 1
    xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$results")"
    xdotool mousemove $((X + 160)) $((Y + 90)) click 1
    sleep 0.5
    import -window "$results" "$OUT/results-window-$look.png"
    kill $P; wait $P 2>/dev/null || true
  done

  # "Synchronise Both Ways" (the last method) over the changed pair, light
  # and dark, the conflict (the third row) current.
  for look in light dark; do
    set -- env RAVELMOOR_PALETTE=$look
    "$@" "$PROGRAM" "$WORK/tw.zvs" & P=$!
    results=$(xdotool search --sync --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
    sleep 1
    xdotool windowfocus --sync "$results" key alt+m alt+Down End Return
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$results")"
    xdotool mousemove $((X + 160)) $((Y + 108)) click 1
    sleep 0.5
    name=results-two-way; [ "$look" = dark ] && name=results-two-way-dark
    import -window "$results" "$OUT/$name.png"
    kill $P; wait $P 2>/dev/null || true
  done
' sh "$OUT" "$PROGRAM" "$WORK" "$FTP_SERVER"
# The same two windows at scale 2, on a screen of twice the density.
xvfb-run -a -s "-screen 0 2560x1600x24" sh -eu -c '
  OUT=$1 PROGRAM=$2
  export QT_SCALE_FACTOR=2
  "$PROGRAM" & P=$!
  main=$(xdotool search --sync --onlyvisible --name "^Ravelmoor\$" | head -n 1)
  sleep 0.5
  import -window "$main" "$OUT/main-window-scale2.png"
  kill $P; wait $P 2>/dev/null || true
  "$PROGRAM" examples/demo.zvs & P=$!
  results=$(xdotool search --sync --onlyvisible --name "^Ravelmoor \\[" | tail -n 1)
  sleep 1
  xdotool windowfocus --sync "$results" key alt+m alt+Down Down Return
  sleep 0.5
  import -window "$results" "$OUT/results-window-scale2.png"
  kill $P; wait $P 2>/dev/null || true
' sh "$OUT" "$PROGRAM"
ls "$OUT"
