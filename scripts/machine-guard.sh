#!/bin/sh
# Catches a test run that changed the machine it ran on. "record" notes what
# the real home folder holds; "check" fails when one of the devices every
# program reads or writes is no longer a character device (a test once
# turned /dev/null into a plain file) or when the home folder gained entries
# (tests write only into their temporary folders, the build folder and a
# throw-away home; the checkout itself, build folder included, may lie in the
# home folder and is left out). Both steps fail at once on a damaged device.
# Usage: machine-guard.sh record STATE_FILE | check STATE_FILE
# RAVELMOOR_GUARD_DEVICES (paths, space-separated) and RAVELMOOR_GUARD_HOME
# point it at other paths, for its own test.
set -eu
[ $# -eq 2 ] || { echo "usage: machine-guard.sh record|check STATE_FILE" >&2; exit 2; }
step=$1
state=$2
devices=${RAVELMOOR_GUARD_DEVICES:-/dev/null /dev/zero /dev/full /dev/random /dev/urandom}
home=${RAVELMOOR_GUARD_HOME:-$HOME}
checkout=$(cd "$(dirname "$0")/.." && pwd)
status=0

for device in $devices; do
  if [ ! -c "$device" ]; then
    kind=$(stat -c %F "$device" 2>/dev/null || echo "missing")
    echo "machine-guard: $device is not a character device any more (it is: $kind)" >&2
    status=1
  fi
done

listing() {
  find "$home" -xdev -path "$checkout" -prune -o -print 2>/dev/null | LC_ALL=C sort
}
case $step in
record)
  listing >"$state"
  ;;
check)
  gained=$(listing | LC_ALL=C comm -13 "$state" -)
  if [ -n "$gained" ]; then
    echo "machine-guard: the tests wrote into the real home folder $home:" >&2
    echo "$gained" | head -20 >&2
    status=1
  fi
  ;;
*)
  echo "usage: machine-guard.sh record|check STATE_FILE" >&2
  exit 2
  ;;
esac
exit $status
