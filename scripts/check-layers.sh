#!/bin/sh
# Fails on any include that crosses a layer the wrong way: the core includes
# neither front end, and the command line and the desktop program never
# include each other. Only main.cpp and the start choice above them see both.
# Run from the source tree's root.
set -eu
status=0
check() {
    layer=$1
    forbidden=$2
    hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($forbidden)/" "src/$layer" || true)
    if [ -n "$hits" ]; then
        echo "Includes that cross out of src/$layer the wrong way:"
        echo "$hits"
        status=1
    fi
}
check core 'cli|gui'
check cli 'gui'
check gui 'cli'
# The core links Qt6::Core only: no widget or GUI headers.
hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets|QtGui|QtSvg|QWidget|QApplication|QGuiApplication|QPainter|QPixmap|QImage|QColor|QDialog)' src/core src/cli || true)
if [ -n "$hits" ]; then
    echo "Display headers outside the desktop program:"
    echo "$hits"
    status=1
fi
exit $status
