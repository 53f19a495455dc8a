#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The ops subcommand with the installed fonts (IPA and DejaVu) against golden op files, so that a
# change in measuring or placing real text shows up. ZELK_UPDATE_GOLDEN=1 rewrites them.
#
# Checked by hand in texts.ops: the main window font Tahoma is DejaVu Sans here; 8 pt
# at 600 dpi is 67 pixels, and DejaVu's ascent + descent (1901 + 483 of 2048 units) make
# a text height of 78. The page-number titles stand at the outer line's top (192) less
# 2 x 78 = 36, their lines at 36 + 78 = 114. TitleRD "右下12" is set down the column
# right of the frame at R + 1.5 mm = 4787 + 35 = 4822, ending at the text rectangle's
# bottom 4420: two upright characters of one em (67) and the digits "12" turned, two
# DejaVu digit advances of 0.636 em (85.2), are 219 long, so it starts at 4201.
set -uo pipefail
zelk=$1
data=$2/ops-real-fonts
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
[[ $(fc-list 2>/dev/null) == *ipag.ttf* ]] || { echo "IPA fonts not installed" >&2; exit 77; }

# The options of each golden sheet.
sheet_args() {
  case $1 in
    texts)
      args=(--set CenterCaption=中央「題」ー --set BottomCaption=下部AB12 --set TitleUL=上左
            --set TitleUR=上右 --set TitleLU=左上の縦書き --set TitleLD=左下 --set TitleBL=下左
            --set TitleBR=下右 --set TitleRD=右下12 --set TitleRU=右上 --set PageNumberTitle=No.
            --set "TitleRUFont=ＭＳ 明朝,12" --set "TitleBRFont=ＭＳ Ｐゴシック,10,bold") ;;
    yokogaki)
      args=(--set Tategaki=0 --set CenterCaption=中央 --set BottomCaption=下 --set PN_UL=1
            --set PN_RD=1 --set PageNumberTitle=頁 --set LineType=2) ;;
  esac
}

failures=0
for name in texts yokogaki; do
  sheet_args "$name"
  if ! "$zelk" ops --printer PDF "${args[@]}" >"$tmp/$name.ops"; then
    echo "FAIL: the ops of $name exited non-zero" >&2
    failures=$((failures + 1))
    continue
  fi
  if [ "${ZELK_UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$tmp/$name.ops" "$data/$name.ops"
    continue
  fi
  if ! cmp -s "$data/$name.ops" "$tmp/$name.ops"; then
    diff -u "$data/$name.ops" "$tmp/$name.ops" | head -20 >&2
    echo "FAIL: $name differs from its golden file" >&2
    failures=$((failures + 1))
  fi
done
for line in 'text 1865 36 "No." font "Tahoma" 8 0 - #000000' 'line 1865 114 2290 114 pen 7 solid #000000' \
  'text 4822 4201 "右下12" font "@Tahoma" 8 2700 - #000000'; do
  grep -qxF "$line" "$data/texts.ops" ||
    { echo "FAIL: hand-checked '$line' is not in texts.ops" >&2; failures=$((failures + 1)); }
done
[ "$failures" = 0 ] || exit 1
echo "ops with real fonts match"
