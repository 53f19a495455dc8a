#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layers see only what lies below them: a header of a higher layer, or Qt below the Qt
# line, does not compile with a layer's include folders, and the layer's own headers do.
# Usage: layers.sh CXX LAYERS_DIR   (LAYERS_DIR is the build's layers/ folder)
set -uo pipefail
cxx=$1 layers=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# compiles LAYERS... -- HEADER: 0 when HEADER compiles with the folders of LAYERS.
compiles() {
  local flags=() header
  while [ "$1" != -- ]; do flags+=("-I$layers/$1"); shift; done
  header=$2
  printf '#include %s\n' "$header" >"$tmp/t.cpp"
  "$cxx" -std=c++17 -fsyntax-only "${flags[@]}" "$tmp/t.cpp" 2>/dev/null
}
expect() {
  local want=$1 what=$2
  shift 2
  if compiles "$@"; then got=sees; else got=blind; fi
  [ "$got" = "$want" ] || { echo "FAIL: $what: expected the layer to be $want" >&2; failures=$((failures + 1)); }
}

base=(zelk_base)
settings=(zelk_settings "${base[@]}")
sheet=(zelk_sheet "${settings[@]}")
compose=(zelk_compose "${sheet[@]}")
preview=(zelk_preview "${compose[@]}")
controls=(zelk_controls "${base[@]}")
form=(zelk_form "${preview[@]}" zelk_controls)

expect sees  "base sees its own" "${base[@]}" -- '"base/Font.h"'
expect blind "base above settings" "${base[@]}" -- '"settings/PrintSetting.h"'
expect sees  "settings sees its own" "${settings[@]}" -- '"settings/PrintSetting.h"'
expect blind "settings above sheet" "${settings[@]}" -- '"sheet/Geometry.h"'
expect blind "settings above the form transfer" "${settings[@]}" -- '"form/FormTransfer.h"'
expect blind "settings beside the control models" "${settings[@]}" -- '"controls/SaNumEditModel.h"'
expect sees  "sheet sees settings" "${sheet[@]}" -- '"settings/PrintSetting.h"'
expect blind "sheet above the recorder" "${sheet[@]}" -- '"preview/Metafile.h"'
expect sees  "compose sees sheet" "${compose[@]}" -- '"sheet/Geometry.h"'
expect blind "compose above the recorder" "${compose[@]}" -- '"preview/Metafile.h"'
expect sees  "preview sees compose" "${preview[@]}" -- '"compose/SheetText.h"'
expect sees  "preview sees sheet" "${preview[@]}" -- '"sheet/DrawSheet.h"'
expect blind "preview beside the control models" "${preview[@]}" -- '"controls/SaNumEditModel.h"'
expect blind "preview above its Qt backends" "${preview[@]}" -- '"preview/qt/PainterPlayback.h"'
expect sees  "control models see base" "${controls[@]}" -- '"controls/SaNumEditModel.h"'
expect blind "control models beside settings" "${controls[@]}" -- '"settings/PrintSetting.h"'
expect sees  "the form transfer sees the core" "${form[@]}" -- '"form/FormTransfer.h"'
expect blind "the core without Qt" "${form[@]}" -- '<QString>'
expect blind "the core below the windows" "${form[@]}" -- '"ui/MainUnit.h"'

[ "$failures" = 0 ] || exit 1
echo "layers hold"
