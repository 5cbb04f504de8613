#!/bin/sh
# Makes the Debian package of the build with CPack in a temporary folder and
# checks its control data and the files it holds (dpkg-deb -c).
# Usage: check-package.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
fi
deb=$(ls "$work"/ravelmoor_*.deb 2>/dev/null)
[ -n "$deb" ] || { echo "FAIL: no ravelmoor_*.deb made" >&2; exit 1; }
failures=0
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's#^\./#/#' >"$work/files"
for path in /usr/bin/ravelmoor \
  /usr/share/applications/org.kvolt.Ravelmoor.desktop \
  /usr/share/mime/packages/org.kvolt.Ravelmoor.xml \
  /usr/share/metainfo/org.kvolt.Ravelmoor.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/org.kvolt.Ravelmoor.svg \
  /usr/share/icons/hicolor/48x48/apps/org.kvolt.Ravelmoor.png \
  /usr/share/man/man1/ravelmoor.1.gz \
  /usr/share/bash-completion/completions/ravelmoor \
  /usr/share/zsh/vendor-completions/_ravelmoor \
  /usr/share/fish/vendor_completions.d/ravelmoor.fish \
  /usr/share/doc/ravelmoor/copyright \
  /usr/share/doc/ravelmoor/LICENSE; do
  grep -qx "$path" "$work/files" || { echo "FAIL: $path not in the package" >&2; failures=$((failures + 1)); }
done
# Nothing outside /usr, and no test or benchmark programs.
if grep -v '^/usr' "$work/files" | grep -qv '^/$'; then
  echo "FAIL: files outside /usr:" >&2
  grep -v '^/usr' "$work/files" >&2
  failures=$((failures + 1))
fi
[ "$(grep -c '^/usr/bin/.' "$work/files")" -eq 1 ] || { echo "FAIL: more than one program" >&2; failures=$((failures + 1)); }
# The libraries come from dpkg-shlibdeps.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libcurl4 libdeflate0 qt6-qpa-plugins; do
  case "$depends" in
  *"$library"*) ;;
  *) echo "FAIL: Depends lacks $library: $depends" >&2; failures=$((failures + 1)) ;;
  esac
done
# The newest changelog entry names the package's version.
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -x "$deb" "$work/root"
top=$(gzip -dc "$work/root/usr/share/doc/ravelmoor/changelog.gz" | head -1)
case "$top" in
"ravelmoor ($version) "*) ;;
*) echo "FAIL: the changelog's newest entry is '$top', the package is $version" >&2; failures=$((failures + 1)) ;;
esac
# Debian's own checker: no error, no warning, and the program hardened as
# Debian's packages are (its hardening findings are only informational).
lintian --info --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
  { echo "FAIL: lintian:" >&2; grep -v 'root privileges' "$work/lintian" >&2; failures=$((failures + 1)); }
if grep -q 'hardening-' "$work/lintian"; then
  echo "FAIL: the program is not hardened:" >&2
  grep 'hardening-' "$work/lintian" >&2
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") checked"
