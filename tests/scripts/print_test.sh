#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Printing on the virtual printer from the command line: the PDF it writes, and its
# refusals.
# Usage: print_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail

zelk=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# expect_status CODE ARGS...: prints on $printer (the virtual printer unless told), checks
# the exit status and, for failures, that the message is one line.
expect_status() {
  local want=$1
  shift
  "$zelk" print --printer "${printer:-PDF}" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" = "$want" ] || fail "print $* exited $got, expected $want: $(cat "$work/err")"
  if [ "$want" != 0 ]; then
    [ "$(grep -c '^zelk: ' "$work/err")" = 1 ] || fail "print $*: no one-line message: $(cat "$work/err")"
  fi
}

expect_status 0 -o "$work/a.pdf"
# -o alone selects the virtual printer (the test world has no scheduler to pick from).
"$zelk" print -o "$work/alone.pdf" 2>"$work/err" >/dev/null || # no --printer on purpose
  fail "-o without a printer did not print: $(cat "$work/err")"
pdfinfo "$work/alone.pdf" >/dev/null || fail "-o without a printer wrote no PDF"
info=$(pdfinfo "$work/a.pdf") || fail "no readable PDF"
echo "$info" | grep -q '^Title: *印刷プレビュー$' || fail "job title: $info"
echo "$info" | grep -q '^Pages: *1$' || fail "pages: $info"
# The page is the virtual paper exactly: 4960 x 7016 device units at 600 dpi.
echo "$info" | grep -q '^Page size: *595.2 x 841.92 pts' || fail "not A4: $info"

expect_status 0 -o "$work/b.pdf" --landscape --set Tategaki=0 --set TitleUL=名前
pdfinfo "$work/b.pdf" | grep -q '^Page size: *841.92 x 595.2 pts' || fail "landscape not kept"
pdftotext "$work/b.pdf" - | grep -q '名前' || fail "the title text is missing"

"$zelk" write -o "$work/s.zelk" --set Tate=10 >/dev/null 2>&1 || fail "zelk write failed"
expect_status 0 "$work/s.zelk" -o "$work/c.pdf"
[ -s "$work/c.pdf" ] || fail "printing a settings file wrote nothing"

expect_status 2                                     # the PDF printer needs an output file
printer=NoSuchQueue-zelk expect_status 1            # no scheduler runs in the test world
grep -q 'NoSuchQueue-zelk に接続できません' "$work/err" || fail "no scheduler: $(cat "$work/err")"
expect_status 2 -o "$work/d.pdf" --dpi 0            # bad option
expect_status 1 -o "$work/no/such/dir/e.pdf"        # unwritable output
[ ! -e "$work/no/such/dir/e.pdf" ] || fail "a failed print left a file"
expect_status 1 "$work/missing.zelk" -o "$work/f.pdf"
[ ! -e "$work/f.pdf" ] || fail "a missing settings file still printed"
# --text: every page of a text in one job, page by page what compose sets.
printf '一の頁\n［＃改ページ］\n二の頁\n［＃改ページ］\n三の頁\n' >"$work/t.txt"
expect_status 0 -o "$work/t.pdf" --text "$work/t.txt"
info=$(pdfinfo "$work/t.pdf")
echo "$info" | grep -q '^Pages: *3$' && echo "$info" | grep -q '^Title: *印刷プレビュー$' ||
  fail "--text: not one job of three pages: $info"
pdftotext -f 2 -l 2 "$work/t.pdf" - | tr -d ' \n' | grep -q '^二の頁' || fail "--text: page 2 is not the second page"
"$zelk" compose "$work/t.txt" --printer PDF -o "$work/tc.pdf" 2>/dev/null || fail "compose failed"
[ "$(pdftotext "$work/t.pdf" -)" = "$(pdftotext "$work/tc.pdf" -)" ] || fail "--text prints other pages than compose sets"
expect_status 2 -o "$work/g.pdf" --title               # a text option without a text
expect_status 1 -o "$work/h.pdf" --text "$work/missing.txt"
[ ! -e "$work/h.pdf" ] || fail "a missing text still printed"
echo PASS
