#!/bin/sh
# Takes screenshots of SFTP Connections, the host-key question and the SFTP
# directory browser on a virtual display, against an OpenSSH server started
# here on 127.0.0.1 as the user running the script (fresh host and user keys,
# an empty known_hosts under a temporary HOME).
# Usage: scripts/screenshots-sftp.sh [OUTPUT_FOLDER]   (default: build/screenshots)
# Needs a built program (scripts/build.sh) and the packages of setup.sh.
set -eu
cd "$(dirname "$0")/.."
OUT=${1:-build/screenshots}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
PROGRAM=$(pwd)/build/dev/src/ravelmoor
# Below build/, so that the folders beside the served site are the build's.
mkdir -p build
WORK=$(mktemp -d "$(pwd)/build/sftp-screenshots.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" DBUS_SESSION_BUS_ADDRESS=
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
for key in host_key user_key; do
  ssh-keygen -q -t ed25519 -N '' -f "$WORK/$key"
done
cp "$WORK/user_key.pub" "$WORK/authorized_keys"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$WORK/sshd_config" <<CONFIG
Port $PORT
ListenAddress 127.0.0.1
HostKey $WORK/host_key
AuthorizedKeysFile $WORK/authorized_keys
PidFile $WORK/sshd.pid
StrictModes no
UsePAM no
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
AllowUsers $(id -un)
Subsystem sftp internal-sftp
CONFIG
# As root, the server shows only the served folder as its "/", so that the
# browser's tree holds the demo site and nothing of this machine.
SITE="$WORK/served/site/"
if [ "$(id -u)" = 0 ]; then
  echo "ChrootDirectory $WORK/served" >>"$WORK/sshd_config"
  echo "ForceCommand internal-sftp" >>"$WORK/sshd_config"
  chmod 755 "$WORK"
  SITE=/site/
fi
[ "$(id -u)" = 0 ] && mkdir -p /run/sshd
/usr/sbin/sshd -D -e -f "$WORK/sshd_config" 2>"$WORK/sshd.log" &
SSHD_PID=$!
trap 'kill $SSHD_PID 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $PORT), 0.2)" 2>/dev/null && break
  sleep 0.1
done

# A site on the server, and a stored connection to it that logs on with the key.
mkdir -p "$WORK/served/site" "$WORK/served/backup/2026" "$WORK/served/logs"
[ "$(id -u)" = 0 ] && chmod 755 "$WORK/served"
cp -r examples/demo/target/. "$WORK/served/site/"
"$PROGRAM" sftp add --host 127.0.0.1 --port "$PORT" --user "$(id -un)" \
  --key "$WORK/user_key" --dir "$SITE" >/dev/null

xvfb-run -a -s "-screen 0 1280x800x24" sh -eu -c '
  OUT=$1 PROGRAM=$2
  find_window() { xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
  shoot() {  # shoot NAME WINDOW-TITLE
    id=$(find_window "$2")
    sleep 0.5
    import -window "$id" "$OUT/$1.png"
  }
  "$PROGRAM" & P=$!
  main=$(find_window Ravelmoor)
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove $((X + 25)) $((Y + 8)) click 1
  sleep 0.3
  xdotool key t
  # The stored connection picked from the name box (the host box has the focus).
  find_window "SFTP Connections" >/dev/null
  xdotool key shift+Tab Down; sleep 0.3
  shoot sftp-connections "SFTP Connections"
  # The browse button beside the directory: the server asks about its key.
  xdotool key Tab Tab Tab Tab Tab space
  sleep 2
  import -window root -crop 536x128+342+177 "$OUT/sftp-host-key.png"
  xdotool key alt+y
  # The folder of the connection is opened and scrolled to the top; its first
  # sub-folder, below its first file, picked.
  browser=$(find_window 127.0.0.1)
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$browser")"
  xdotool mousemove $((X + 150)) $((Y + 80)) click 1
  shoot sftp-directory 127.0.0.1
  kill $P; wait $P 2>/dev/null || true
' sh "$OUT" "$PROGRAM"
echo "Screenshots in $OUT"
