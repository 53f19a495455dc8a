#!/usr/bin/env bash
# The program's main job: the default sheet on the default printer.
set -euo pipefail
zelk=$1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$zelk" layout
# The same sheet as it prints, as PDF and as a 150 dpi PNG, in the current folder.
"$zelk" render -o zelk-demo.pdf
"$zelk" render -o zelk-demo.png
echo "wrote $(realpath zelk-demo.pdf)"
echo "wrote $(realpath zelk-demo.png)"
