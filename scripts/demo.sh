#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's main job: the default sheet, on the virtual printer "PDF ファイル" (A4,
# 600 dpi), which every machine has: its figures are the same whatever the machine's
# CUPS queues are (the default queue, which zelk takes without --printer, may be
# cups-pdf's queue "PDF" or a real printer, with paper and margins of its own).
set -euo pipefail
zelk=$1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$zelk" layout --printer PDF
# The same sheet as it prints, as PDF and as a 150 dpi PNG, in the current folder.
"$zelk" render --printer PDF -o zelk-demo.pdf
"$zelk" render --printer PDF -o zelk-demo.png
echo "wrote $(realpath zelk-demo.pdf)"
echo "wrote $(realpath zelk-demo.png)"
