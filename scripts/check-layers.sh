#!/bin/sh
# Fails on any include that crosses a layer the wrong way: the core includes
# neither front end, and the command line and the desktop program never
# include each other. Only main.cpp and the start choice above them see both.
# Inside the core and the desktop program the sub-folders stand in floors:
# no two of them include each other, directly or round a loop.
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
# The includes between sub-folders of src/$1 as "from to" lines.
folder_edges() {
    grep -rHE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$1/[^/\"]+/" "src/$1" |
        awk -F: -v layer="$1" '{
            split($1, at, "/")
            if (length(at) < 4) next
            match($0, "\"" layer "/[^/\"]+/")
            to = substr($0, RSTART + length(layer) + 2, RLENGTH - length(layer) - 3)
            if (at[3] != to) print at[3], to
        }' | sort -u
}
for layer in core gui; do
    if ! loops=$(folder_edges "$layer" | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
        echo "Sub-folders of src/$layer that include each other (a loop):"
        echo "$loops" | awk '/input contains a loop/ { if (line) print line; line = ""; next }
                             { sub(/^tsort: /, ""); line = line (line ? " -> " : "  ") $0 }
                             END { if (line) print line }'
        status=1
    fi
done
exit $status
