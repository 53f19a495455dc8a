#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every text of the sheet stays text in the PDF export and in the virtual printer's PDF:
# pdftotext finds each one whole, vertical texts with the vertical forms of their
# punctuation and long-vowel mark, and ideographs as themselves rather than as the
# radicals that share their glyph.
# Usage: export_text_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
command -v pdftotext >/dev/null || { echo "pdftotext is not installed" >&2; exit 77; }
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# world FIELD TEXT: the text set in FIELD must be extracted from the PDF made in the world.
rows=(
  "ipa CenterCaption 「原稿」、用紙。ー"
  "ipa TitleLU 左上の縦書き（一）"
  "ipa TitleUL 横書き見出し"
  "ipa BottomCaption 下部AB12"
  "noto TitleUL 見出しの見本"
  "noto TitleUR 用紙・原稿"
)
for world in ipa noto; do
  config=$ZELK_FONTS_IPA
  [ "$world" = noto ] && config=$ZELK_FONTS_NOTO
  args=() expected=()
  for row in "${rows[@]}"; do
    read -r w field text <<<"$row"
    [ "$w" = "$world" ] || continue
    args+=(--set "$field=$text")
    expected+=("$text")
  done
  # The export, and a job of the virtual printer.
  for command in render print; do
    pdf=$tmp/$world-$command.pdf
    FONTCONFIG_FILE=$config "$zelk" "$command" --printer PDF -o "$pdf" "${args[@]}" ||
      { fail "$world: $command exited $?"; continue; }
    extracted=$(pdftotext "$pdf" - | tr -d ' \n')
    for text in "${expected[@]}"; do
      [[ $extracted == *"$text"* ]] ||
        fail "$world, $command: '$text' cannot be extracted: $extracted"
    done
  done
done
[ "$failures" = 0 ] || exit 1
echo PASS
