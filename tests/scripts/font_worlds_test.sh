#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sheet's horizontal Japanese texts, and a text composed into its cells, in both font
# worlds of the tests: the IPA fonts (Debian) and Noto CJK (Ubuntu, Fedora). In each, the
# PDF embeds only fonts of that world and every text can be extracted again.
# Usage: font_worlds_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

texts=(--set TitleUL=原稿用紙 --set "TitleULFont=ＭＳ 明朝,12" --set TitleUR=山田太郎
       --set "TitleURFont=ＭＳ ゴシック,12" --set TitleBL=名前 --set PageNumberTitle=頁)
# Two pages of 8 lines: a title with ruby, a line with brackets and punctuation, and a
# forced page.
printf '｜窓辺《まどべ》の鉛筆\n「雨だ。」と言った。\n［＃改ページ］\n改行\n' >"$tmp/text.txt"
declare -A serif_of=([ipa]='^IPA(P|ex)?Mincho' [noto]='^NotoSerifCJK')
# world CONFIG FONT-PATTERN: the fonts the world offers, as pdffonts names them.
for world in "ipa:${ZELK_FONTS_IPA:?}:^IPA|DejaVu" "noto:${ZELK_FONTS_NOTO:?}:^Noto(Sans|Serif|SansMono)CJK|DejaVu"; do
  name=${world%%:*} rest=${world#*:}
  config=${rest%%:*} pattern=${rest#*:}
  pdf=$tmp/$name.pdf
  FONTCONFIG_FILE=$config "$zelk" render --printer PDF -o "$pdf" "${texts[@]}" ||
    { fail "$name: render exited $?"; continue; }
  fonts=$(pdffonts "$pdf" | tail -n +3 | awk '{ sub(/^[A-Z]{6}\+/, "", $1); print $1 }' | sort -u)
  [ -n "$fonts" ] || fail "$name: the PDF embeds no font"
  while read -r font; do
    [ -z "$font" ] || grep -Eq "$pattern" <<<"$font" || fail "$name: font $font is not of this world"
  done <<<"$fonts"
  # Noto CJK draws a Kangxi radical and its unified ideograph (⽤ U+2F64, 用 U+7528) with
  # one glyph. Compared after NFKC, which folds the radicals, the check is about the
  # glyphs; export_text_test checks that the ideographs come out as themselves.
  text=$(pdftotext "$pdf" - | tr -d ' \n' | perl -CS -MUnicode::Normalize -pe '$_ = NFKC($_)')
  for t in 原稿用紙 山田太郎 名前; do
    grep -q "$t" <<<"$text" || fail "$name: '$t' cannot be extracted: $text"
  done
  echo "$name: $(tr '\n' ' ' <<<"$fonts")"

  # A composed text: the body in the world's serif, every cell's character extracted
  # (vertical punctuation and brackets included), ruby as well, and the same pages as
  # the grid gives in any world.
  composed=$tmp/$name-composed.pdf
  FONTCONFIG_FILE=$config "$zelk" compose "$tmp/text.txt" --printer PDF --set Yoko=8 \
    -o "$composed" 2>"$tmp/err" || { fail "$name: compose exited $?: $(cat "$tmp/err")"; continue; }
  pdffonts "$composed" | tail -n +3 | awk '{ sub(/^[A-Z]{6}\+/, "", $1); print $1 }' |
    grep -Eq "${serif_of[$name]}" || fail "$name: the body is not in the world's serif"
  grep -q '^Pages: *2$' <<<"$(pdfinfo "$composed")" || fail "$name: the text is not on two pages"
  text=$(pdftotext -raw "$composed" - | tr -d ' \n' | perl -CS -MUnicode::Normalize -pe '$_ = NFKC($_)')
  for t in 窓辺 「雨だ。」 まど 鉛筆 改行; do
    grep -q "$t" <<<"$text" || fail "$name: composed '$t' cannot be extracted: $text"
  done
done
# The worlds really differ: Noto's world has no IPA font, and the IPA world no Noto.
FONTCONFIG_FILE=$ZELK_FONTS_NOTO fc-list | grep -q ipag && fail "the Noto world offers IPA fonts"
FONTCONFIG_FILE=$ZELK_FONTS_IPA fc-list | grep -qi notosanscjk && fail "the IPA world offers Noto"
[ "$failures" = 0 ] || exit 1
echo PASS
