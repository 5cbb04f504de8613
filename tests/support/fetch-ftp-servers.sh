#!/bin/sh
# Unpacks pure-ftpd and proftpd from Debian's archive into DEST/root, for the
# real-server tests to run beside Debian's installed vsftpd (their packages
# conflict with vsftpd's as "ftp-server" and are never installed), with the
# libraries proftpd needs that a Debian 12 with vsftpd lacks. Only `apt-get
# download` and `dpkg -x` into DEST: nothing on the machine changes. What
# was fetched once stays in DEST. Exits 0 even when a package cannot be had
# (no network, no apt lists): the tests of that server then skip and say why.
set -u
DEST=$1
mkdir -p "$DEST/debs" "$DEST/root"
cd "$DEST/debs" || exit 0
for package in pure-ftpd proftpd-core libmemcached11 libmemcachedutil2 libhashkit2 libpcre2-posix3; do
  if ! ls "${package}"_*.deb >/dev/null 2>&1; then
    apt-get download -q -o Acquire::http::Timeout=20 "$package" >>"$DEST/fetch.log" 2>&1 ||
      echo "could not fetch $package" >>"$DEST/fetch.log"
  fi
done
for deb in *.deb; do
  [ -e "$deb" ] && dpkg -x "$deb" "$DEST/root"
done
exit 0
