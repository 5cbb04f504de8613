#!/bin/sh
# Installs the Debian packages Ravelmoor needs. Safe to run again; works as
# root or through sudo.
#   setup.sh            everything building, testing and benchmarking need
#   setup.sh --program  only what building and running the program need
#                       (what scripts/demo.sh uses)
#   setup.sh --bench    everything, plus the peers only the benchmarks run
set -eu

# Building the program, and running it.
PROGRAM="
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  libcurl4-openssl-dev zlib1g-dev libdeflate-dev liburing-dev qtkeychain-qt6-dev libssh-dev
  libsqlite3-dev
  librsvg2-bin
"
# The tests, the static checks, the fuzz targets, the package and the
# benchmarks' reference tools.
TESTS="
  git clang-format clang-tidy clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest
  python3 python3-pyftpdlib dbus gnome-keyring openssh-server openssh-client vsftpd
  xvfb xauth imagemagick fonts-dejavu-core xdotool x11-utils
  rsync diffutils findutils time hyperfine
  dpkg-dev file lintian
  desktop-file-utils appstream libxml2-utils shared-mime-info man-db
  bash-completion zsh fish
  libglib2.0-bin gvfs-daemons dosfstools
"
case "${1:-}" in
--program) PACKAGES=$PROGRAM ;;
--bench) PACKAGES="$PROGRAM $TESTS freefilesync" ;;
"") PACKAGES="$PROGRAM $TESTS" ;;
*)
  echo "usage: setup.sh [--program | --bench]" >&2
  exit 2
  ;;
esac

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
  case " $missing " in
  *" vsftpd "*)
    # The tests run vsftpd on a loopback port of their own, with their own
    # configuration; the package's service would serve port 21 to everyone.
    if command -v systemctl >/dev/null 2>&1 && [ -d /run/systemd/system ]; then
      $SUDO systemctl disable --now vsftpd >/dev/null 2>&1 || true
    elif [ -x /etc/init.d/vsftpd ]; then
      $SUDO /etc/init.d/vsftpd stop >/dev/null 2>&1 || true
    fi
    ;;
  esac
else
  echo "setup: all packages present"
fi
