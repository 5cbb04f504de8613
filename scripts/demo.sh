#!/bin/sh
# Sets the machine up with what building and running the program need,
# builds the program alone (release), and opens it on the demo settings
# file, which compares the demo pair in examples/demo at once. The folders in
# the file are relative to the file's own folder.
# Without a display the same file is compared on the command line.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh --program
./scripts/build.sh release --target ravelmoor
./scripts/demo-times.sh
status=0
./build/release/src/ravelmoor examples/demo.zvs || status=$?
# 1 means "the folders differ", which is what the demo shows on the command line.
[ "$status" -le 1 ]
