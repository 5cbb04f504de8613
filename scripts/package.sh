#!/bin/sh
# Builds the release configuration and makes the Debian package with CPack:
# build/release/ravelmoor_VERSION_ARCH.deb, installable with
#   apt install ./build/release/ravelmoor_*.deb
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh release
cpack --config build/release/CPackConfig.cmake -B build/release
ls build/release/ravelmoor_*.deb
