#!/usr/bin/env bash
# The program's main job: the default sheet on the default printer.
set -euo pipefail
zelk=$1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$zelk" layout
