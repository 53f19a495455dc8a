#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The render and ops subcommands from the command line: the three output formats at the
# printer's paper size, the op format's header, and bad options rejected in one line
# with exit status 2.
set -uo pipefail
zelk=$1
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A desktop session has a runtime folder; without one Qt warns on stderr.
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# --- PDF: A4 by default, B5 landscape when asked ------------------------------------------
if command -v pdfinfo >/dev/null; then
  "$zelk" render --printer PDF -o "$tmp/a4.pdf" || fail "render a4.pdf exited $?"
  info=$(pdfinfo "$tmp/a4.pdf" 2>&1)
  size=$(sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p' <<<"$info")
  # A4 at 600 dpi: 4960 x 7016 pixels = 595.2 x 841.92 pt
  awk -v s="$size" 'BEGIN { split(s, a, " "); exit !(a[1] > 594 && a[1] < 596.5 && a[2] > 841 && a[2] < 843) }' \
    || fail "a4.pdf page size '$size'"
  grep -q '^Pages: *1$' <<<"$info" || fail "a4.pdf is not one page"

  "$zelk" render --printer PDF -o "$tmp/b5.pdf" --paper B5 --landscape --dpi 300 || fail "render b5.pdf exited $?"
  size=$(pdfinfo "$tmp/b5.pdf" | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p')
  # JIS B5 landscape: 257 x 182 mm = 728.5 x 515.9 pt
  awk -v s="$size" 'BEGIN { split(s, a, " "); exit !(a[1] > 727 && a[1] < 730 && a[2] > 515 && a[2] < 517) }' \
    || fail "b5.pdf landscape page size '$size'"
  # The texts are real text in the PDF, Japanese included.
  "$zelk" render --printer PDF -o "$tmp/texts.pdf" --set TitleUL=原稿用紙 --set TitleLU=縦書き || fail "render texts.pdf"
  if command -v pdftotext >/dev/null; then
    txt=$(pdftotext "$tmp/texts.pdf" - 2>/dev/null | tr -d '\n')
    grep -q '原稿用紙' <<<"$txt" || fail "pdftotext does not find the horizontal text: $txt"
  fi

  # A printer whose resolutions differ still gives A4.
  "$zelk" render --printer PDF -o "$tmp/np.pdf" --dpi 600x300 || fail "render at 600x300 dpi"
  size=$(pdfinfo "$tmp/np.pdf" | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p')
  awk -v s="$size" 'BEGIN { split(s, a, " "); exit !(a[1] > 594 && a[1] < 596.5 && a[2] > 841 && a[2] < 843) }' \
    || fail "600x300 dpi page size '$size'"
else
  echo "pdfinfo missing: PDF page sizes not checked" >&2
fi

# --- SVG: the paper in millimetres -----------------------------------------------------------
"$zelk" render --printer PDF -o "$tmp/sheet.svg" --set Tategaki=0 --set CenterCaption=中央 || fail "render svg exited $?"
# A4 at 600 dpi is 4960 x 7016 pixels: 209.97 x 297.01 mm
grep -Eq 'width="(209\.9|210)[0-9.]*mm" height="(296\.9|297)[0-9.]*mm"' "$tmp/sheet.svg" || fail "svg size: $(grep -o 'width="[^"]*" height="[^"]*"' "$tmp/sheet.svg" | head -1)"

# --- PNG: default 150 dpi, and --png-dpi ----------------------------------------------------
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
"$zelk" render --printer PDF -o "$tmp/sheet.png" || fail "render png exited $?"
[ "$(png_size "$tmp/sheet.png")" = "1240 1754" ] || fail "png at 150 dpi is $(png_size "$tmp/sheet.png")"
"$zelk" render --printer PDF -o "$tmp/small.png" --png-dpi 72 || fail "render png 72 exited $?"
[ "$(png_size "$tmp/small.png")" = "595 842" ] || fail "png at 72 dpi is $(png_size "$tmp/small.png")"

# --- ops ------------------------------------------------------------------------------------
"$zelk" ops --printer PDF >"$tmp/default.ops" || fail "ops exited $?"
[ "$(head -1 "$tmp/default.ops")" = "zelk-ops 1" ] || fail "ops header '$(head -1 "$tmp/default.ops")'"
sed -n 2p "$tmp/default.ops" | grep -Eq '^page 1 frame 21000 29700 size 4960 7016$' \
  || fail "ops page line '$(sed -n 2p "$tmp/default.ops")'"
grep -q '^ellipse ' "$tmp/default.ops" || fail "default sheet has no round dots"
"$zelk" ops --printer PDF --set Tate=10 --set LineType=2 >"$tmp/set.ops" || fail "ops --set exited $?"
grep -q '^line .* pen 7 solid' "$tmp/set.ops" || fail "LineType=2 drew no 7-unit solid lines"
cmp -s "$tmp/default.ops" "$tmp/set.ops" && fail "--set changed nothing"
"$zelk" ops --printer PDF | cmp -s - "$tmp/default.ops" || fail "ops is not the same twice"

# --- bad options: one line naming the culprit, exit status 2 -------------------------------
expect_usage() {
  local what=$1 needle=$2
  shift 2
  local err rc
  err=$("$zelk" "$1" --printer PDF "${@:2}" 2>&1 >/dev/null)
  rc=$?
  [ "$rc" = 2 ] || fail "$what: exit $rc, expected 2"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$what: message is not one line: $err"
  grep -qF -- "$needle" <<<"$err" || fail "$what: message '$err' does not name '$needle'"
}
expect_usage "no -o" "-o" render
expect_usage "bad suffix" "x.txt" render -o "$tmp/x.txt"
expect_usage "bad png dpi" "--png-dpi" render -o "$tmp/x.png" --png-dpi zero
expect_usage "png dpi too big" "--png-dpi" render -o "$tmp/x.png" --png-dpi 100000
expect_usage "png dpi for pdf" "--png-dpi" render -o "$tmp/x.pdf" --png-dpi 300
expect_usage "unknown option" "frobnicate" render -o "$tmp/x.pdf" --frobnicate
expect_usage "bad paper" "--paper" ops --paper A9
expect_usage "bad dpi" "--dpi" ops --dpi 0
expect_usage "unknown field" "Nonsense" ops --set Nonsense=1
expect_usage "bad field value" "Tate" ops --set Tate=abc
expect_usage "two files" "b.zelk" ops --printer PDF a.zelk b.zelk
[ -e "$tmp/x.pdf" ] && fail "a rejected render wrote its output"

# A settings file that does not exist: exit 1 with a message, nothing written.
err=$("$zelk" render --printer PDF "$tmp/none.zelk" -o "$tmp/f.pdf" 2>&1)
rc=$?
[ "$rc" = 1 ] || fail "missing FILE: exit $rc, expected 1"
grep -q 'none.zelk' <<<"$err" || fail "missing FILE message '$err' does not name the file"
[ -e "$tmp/f.pdf" ] && fail "render of a missing FILE wrote its output"

# An output that cannot be written: exit 1 with a message, no crash.
err=$("$zelk" render --printer PDF -o "$tmp/no/such/dir/x.pdf" 2>&1)
rc=$?
[ "$rc" = 1 ] || fail "unwritable output: exit $rc, expected 1"
[ -n "$err" ] || fail "unwritable output: no message"

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "render and ops: all checks passed"
