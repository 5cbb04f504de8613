#!/bin/sh
# Runs a command of this checkout the way a new user would meet it: in a
# fresh Debian 12 root made by debootstrap (minbase), from a clean clone of
# the checkout's HEAD, as root, with /proc mounted and no /dev/pts (so no
# pseudo-terminal can be opened), and prints how long it took. Afterwards
# it checks that the root's /dev/null is still a character device.
# Usage (as root): scripts/fresh-root.sh DIR COMMAND...
#   e.g. scripts/fresh-root.sh /var/tmp/fresh ./scripts/demo.sh
# DIR keeps a tarball of the bare root (DIR/bookworm.tar), so later runs
# start from the same fresh root without fetching it again.
set -eu
[ "$(id -u)" -eq 0 ] || { echo "fresh-root: run as root (debootstrap and chroot need it)" >&2; exit 2; }
[ $# -ge 2 ] || { echo "usage: fresh-root.sh DIR COMMAND..." >&2; exit 2; }
dir=$1
shift
checkout=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
root="$dir/root"
if [ ! -f "$dir/bookworm.tar" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -q debootstrap >/dev/null
  rm -rf "$dir/bare"
  debootstrap --variant=minbase bookworm "$dir/bare" http://deb.debian.org/debian >"$dir/debootstrap.log"
  tar -C "$dir/bare" -cf "$dir/bookworm.tar" .
  rm -rf "$dir/bare"
fi
if mountpoint -q "$root/proc" 2>/dev/null; then umount "$root/proc"; fi
rm -rf "$root"
mkdir -p "$root"
tar -C "$root" -xf "$dir/bookworm.tar"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet "$checkout" "$root/root/ravelmoor"
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT

start=$(date +%s)
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  sh -c 'cd /root/ravelmoor && exec "$@"' sh "$@" || status=$?
end=$(date +%s)
echo "fresh-root: '$*' ended with status $status after $(((end - start) / 60)) min $(((end - start) % 60)) s"
if [ ! -c "$root/dev/null" ]; then
  echo "fresh-root: $root/dev/null is no longer a character device" >&2
  status=1
fi
exit "$status"
