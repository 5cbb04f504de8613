#!/bin/sh
# Installs every Debian package that building, testing and benchmarking
# Ravelmoor need. Safe to run again; works as root or through sudo.
# --bench adds the peers that only the benchmarks run (FreeFileSync).
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config git
  clang-format clang-tidy clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  libcurl4-openssl-dev zlib1g-dev libdeflate-dev qtkeychain-qt6-dev libssh-dev
  libgtest-dev libgmock-dev googletest
  python3 python3-pyftpdlib dbus gnome-keyring openssh-server openssh-client
  xvfb xauth imagemagick fonts-dejavu-core xdotool x11-utils
  rsync diffutils findutils time hyperfine
  librsvg2-bin dpkg-dev file
  desktop-file-utils appstream libxml2-utils shared-mime-info man-db
  bash-completion zsh fish
  libglib2.0-bin gvfs-daemons dbus dosfstools
"
if [ "${1:-}" = "--bench" ]; then
  PACKAGES="$PACKAGES freefilesync"
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "setup: run as root or install sudo first" >&2
  exit 2
fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  echo "setup: installing:$missing"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
  # shellcheck disable=SC2086
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
else
  echo "setup: all packages present"
fi
