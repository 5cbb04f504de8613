#!/bin/sh
# Installs the build into a temporary DESTDIR and checks every desktop file
# with the tool that reads it: the desktop entry, the MIME type, the AppStream
# data, the man page, the icon sizes, and the completions of bash, zsh and fish.
# Usage: check-install.sh BUILD_DIR [zsh]
# With "zsh" it checks only what zsh completes when typed at its line editor,
# which needs a pseudo-terminal: without one it skips (exit 77) with a reason.
set -u
build=$1
mode=${2:-all}
if [ "$mode" = zsh ] && ! zsh -fc 'zmodload zsh/zpty && zpty probe true' >/dev/null 2>&1; then
  echo "skipped: no pseudo-terminal can be opened here (zsh completes only at its line editor)"
  exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# Runs a checker; a warning or an error in what it says counts as a failure
# too. Whole words only: a path it names ("/work/errors/...") is no error.
quiet() {
  what=$1
  shift
  if ! "$@" >"$work/out" 2>&1 || grep -qiwE 'warn(ings?)?|error|^[EW]:' "$work/out"; then
    fail "$what"
    cat "$work/out" >&2
  fi
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }
share="$root/usr/share"
id=org.kvolt.Ravelmoor

if [ "$mode" = all ]; then
  quiet "desktop-file-validate" desktop-file-validate "$share/applications/$id.desktop"
  quiet "appstreamcli validate" appstreamcli validate --no-net --no-color "$share/metainfo/$id.metainfo.xml"
  quiet "xmllint on the MIME type" xmllint --noout "$share/mime/packages/$id.xml"
  quiet "update-mime-database" update-mime-database "$share/mime"
  grep -qx 'application/x-ravelmoor-settings' "$share/mime/types" || fail "MIME type not compiled"
  grep -q 'x-ravelmoor-settings:\*\.zvs' "$share/mime/globs2" || fail "MIME glob *.zvs missing"
  grep -q 'Ravelmoor file' "$share/mime/magic" || fail "MIME magic missing"
  man_errors=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$share/man/man1/ravelmoor.1.gz" 2>&1 >/dev/null)
  [ -z "$man_errors" ] || fail "man --warnings: $man_errors"

  for size in 16 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    # The width and height are the 32-bit numbers at bytes 16 and 20 of a PNG.
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | tr -s ' ' | sed 's/^ //')
    expected="0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
    [ "$dims" = "$expected" ] || fail "icon $size: size bytes '$dims'"
  done
  [ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon missing"
  for doc in README.md LICENSE copyright help/main.htm docs/main-window.png; do
    [ -f "$share/doc/ravelmoor/$doc" ] || fail "document $doc missing"
  done
  grep -q 'GPL-3.0-or-later' "$share/metainfo/$id.metainfo.xml" || fail "project licence"
fi

# The completions list a stored FTP connection, so the installed program runs
# against a settings store of its own.
export PATH="$root/usr/bin:$PATH" XDG_CONFIG_HOME="$work/config" HOME="$work"
ravelmoor ftp add --server host1 --dir /pub/ >/dev/null || fail "ftp add"

if [ "$mode" = all ]; then
  bash_out=$(bash -c '
    . /usr/share/bash-completion/bash_completion
    . "$1"
    complete -p ravelmoor >/dev/null || exit 1
    t() {
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      COMPREPLY=(); _ravelmoor ravelmoor "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      printf "%s|" "${COMPREPLY[@]}"; echo
    }
    t ravelmoor sy
    t ravelmoor sync --method ""
    t ravelmoor compare --by c
    t ravelmoor ftp remove ""
    t ravelmoor compare -r "\\(ftp"
  ' bash "$share/bash-completion/completions/ravelmoor" 2>&1)
  expected_bash='sync|
align|augment|refresh|update|update-prune|force|two-way|
crc|
host1/pub/|
(ftp) host1/pub/|'
  [ "$bash_out" = "$expected_bash" ] || fail "bash completion gave:
$bash_out"
fi

zsh -n "$share/zsh/vendor-completions/_ravelmoor" || fail "zsh syntax"
if [ "$mode" = zsh ]; then
  # zsh completes only in its line editor, so the test types into one. The
  # folder it runs in is empty, so the list is short.
  mkdir "$work/empty"
  zsh_complete() {
    (cd "$work/empty" && ZDOTDIR="$work" zsh -f "$here/zsh-complete.zsh" \
      "$share/zsh/vendor-completions" "$@" 2>&1)
  }
  zsh_out=$(zsh_complete 'ravelmoor sync --method ' 'align|augment|refresh|update-prune|force' force)
  [ "$zsh_out" = "align augment force refresh update-prune " ] || fail "zsh completion gave: $zsh_out"
  zsh_out=$(zsh_complete 'ravelmoor compare -r ' '\(ftp\) [a-z0-9/]+' host1)
  [ "$zsh_out" = "(ftp) host1/pub/ " ] || fail "zsh completion gave: $zsh_out"
  [ "$failures" -eq 0 ] || exit 1
  echo "zsh completion checks passed"
  exit 0
fi

fish_out=$(fish --no-config -c '
  source $argv[1]
  complete -C "ravelmoor sync --method u" | string replace -r "\t.*" ""
  complete -C "ravelmoor compare -r \(ftp\)\ h" | string replace -r "\t.*" ""
' "$share/fish/vendor_completions.d/ravelmoor.fish" 2>&1)
expected_fish='update
update-prune
(ftp) host1/pub/'
[ "$fish_out" = "$expected_fish" ] || fail "fish completion gave:
$fish_out"

# Every option the commands' help lists is in the man page and in each
# completion (hyphens are escaped in roff).
for command in compare sync history undo "ftp add"; do
  # shellcheck disable=SC2086
  for option in $(ravelmoor $command --help | grep -oE -- '--[a-z0-9-]+' | sort -u); do
    [ "$option" = "--help" ] && continue
    gzip -dc "$share/man/man1/ravelmoor.1.gz" | grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" ||
      fail "man page lacks $command $option"
    for completion in bash-completion/completions/ravelmoor zsh/vendor-completions/_ravelmoor \
      fish/vendor_completions.d/ravelmoor.fish; do
      case $completion in
      *fish) pattern="-l ${option#--}" ;;
      *) pattern=$option ;;
      esac
      grep -qF -- "$pattern" "$share/$completion" || fail "$completion lacks $command $option"
    done
  done
done

[ "$failures" -eq 0 ] || exit 1
echo "install checks passed"
