#!/bin/sh
# The guard that test.sh puts around each test run fails where it must: a
# plain file where a device should be, and a home folder that gained an
# entry; it passes on an untouched machine. Where this may make a private
# mount namespace (unshare, as root), a plain file is also mounted over
# /dev/null there and the guard, with its own device list, must see it.
# Usage: check-machine-guard.sh SOURCE_DIR
set -u
guard="$1/scripts/machine-guard.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# expect STATUS TEXT COMMAND...: the command's status and a line of its output.
expect() {
  want_status=$1
  want_text=$2
  shift 2
  status=0
  "$@" >"$work/out" 2>&1 || status=$?
  [ "$status" -eq "$want_status" ] || fail "$* ended with $status, not $want_status: $(cat "$work/out")"
  [ -z "$want_text" ] || grep -qF -- "$want_text" "$work/out" || fail "$* did not say '$want_text': $(cat "$work/out")"
}

mkdir -p "$work/home/.local"
: >"$work/planted"
export RAVELMOOR_GUARD_HOME="$work/home"

RAVELMOOR_GUARD_DEVICES="/dev/null $work/planted" \
  expect 1 "$work/planted is not a character device any more (it is: regular empty file)" \
  "$guard" record "$work/state"

RAVELMOOR_GUARD_DEVICES=/dev/null expect 0 "" "$guard" record "$work/state"
RAVELMOOR_GUARD_DEVICES=/dev/null expect 0 "" "$guard" check "$work/state"
mkdir -p "$work/home/.local/share/Trash"
RAVELMOOR_GUARD_DEVICES=/dev/null \
  expect 1 "$work/home/.local/share/Trash" "$guard" check "$work/state"

# A checkout inside the home folder is the tests' own: its build folder grows.
mkdir -p "$work/home/checkout/scripts"
cp "$guard" "$work/home/checkout/scripts/"
RAVELMOOR_GUARD_DEVICES=/dev/null expect 0 "" "$work/home/checkout/scripts/machine-guard.sh" record "$work/state"
mkdir -p "$work/home/checkout/build/tests/home"
RAVELMOOR_GUARD_DEVICES=/dev/null expect 0 "" "$work/home/checkout/scripts/machine-guard.sh" check "$work/state"

if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  expect 1 "/dev/null is not a character device any more" \
    unshare -m sh -c 'mount --bind "$1" /dev/null && "$2" record "$3"' \
    sh "$work/planted" "$guard" "$work/state2"
else
  echo "not checked: a plain file mounted over /dev/null (needs root and unshare)"
fi

[ -c /dev/null ] || fail "/dev/null itself changed"
[ "$failures" -eq 0 ] || exit 1
echo "machine guard checks passed"
