#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A week with the program, in one home: the window program started again and again, a
# user at its window (journey_user.cpp), with the test's own CUPS scheduler holding an A4
# queue (the default) and a JIS B4 queue. Run on a desktop (fixtures/desktop.sh) in a
# world of its own (fixtures/world.sh.in), so every start shares that world's home.
#   (a) first start, OK in the printer setup, close; the second start shows the A4 paper
#       of the printer and 印刷 sends a full A4 portrait sheet;
#   (b) a B4 design on the B4 queue, closed; the next start is on that queue and paper,
#       and its job is B4;
#   (c) that queue deleted; the next start says so, and nothing is printed cut off: on a
#       queue without B4, 印刷 asks and No prints nothing; on one with B4, it prints B4;
#   (d) a text set in and page 3 shown, closed; the next start shows page 3 of it; the
#       text edited on disk while the window is open is counted again.
# Usage: journey_test.sh USER_PROGRAM
# Skipped (exit 77) only when the private scheduler cannot start (not root, no cupsd).
set -uo pipefail

user=$1
source "$(dirname "$0")/../fixtures/private_cups.sh"
trap private_cups_stop EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "${report:-}" ] && sed 's/^/  report: /' "$report" >&2
  exit 1
}

private_cups_start
rc=$?
[ $rc = 77 ] && { echo "SKIP: the private CUPS scheduler cannot start"; exit 77; }
[ $rc = 0 ] || fail "the private CUPS scheduler did not set up its queues"
lpadmin -x ZelkLetter && lpadmin -d ZelkA4 || fail "cannot set the queues up"

report=$(mktemp "${TMPDIR:-/tmp}/journey-report.XXXXXX")
# start NAME ACTION...: one start of the program; its report is in $report.
start() {
  local name=$1
  shift
  : >"$report"
  ZELK_JOURNEY_REPORT=$report "$user" "$@" || fail "$name: the program exited with $?"
  echo "ok: $name"
}
field() { sed -n "s/^$1=//p" "$report" | head -1; }
expect() {
  local got
  got=$(field "$1")
  [ "$got" = "$2" ] || fail "$step: $1 is '$got', not '$2'"
}
# last_job QUEUE: the document of QUEUE's newest job, once the queue is done with it.
# expect_mm KEY MM: the field is MM within 1 mm (the printer's paper, measured in its dots).
expect_mm() {
  local got
  got=$(field "$1")
  awk -v a="$got" -v b="$2" 'BEGIN { d = a - b; exit !(a != "" && d < 1 && d > -1) }' ||
    fail "$step: $1 is '$got', not $2 mm"
}
last_job() {
  local job
  job=$(private_cups_last_job "$1")
  [ -n "$job" ] || return 1
  private_cups_wait_idle "$1" || return 1
  private_cups_document "$job"
}
# page_size PDF: its first page's size in whole points, "595x842" for A4 portrait.
page_size() { pdfinfo "$1" | awk '/^Page size:/ { printf "%dx%d\n", $3 + 0.5, $5 + 0.5 }'; }

# (a) ------------------------------------------------------------------------------------
step="first start"
start "$step"
grep -qx 'dialog=printer-setup' "$report" || fail "$step: no printer setup was asked"
expect printer "プリンター : ZelkA4"
config=$(dirname "$(find "$HOME" "${XDG_CONFIG_HOME:-/nonexistent}" -name zelk.dat 2>/dev/null | head -1)")
[ -f "$config/zelk.dat" ] || fail "$step: no state file was written"
[ ! -e "$config/zelk.zelk" ] || fail "$step: an unchanged first start wrote a settings file"

step="second start prints"
start "$step" print
expect paper "A4"
expect_mm width 210
expect_mm height 297
expect orientation portrait
expect warning ""
doc=$(last_job ZelkA4) || fail "$step: no job reached ZelkA4"
[ "$(page_size "$doc")" = 595x842 ] || fail "$step: the sheet is not A4 portrait: $(pdfinfo "$doc")"

# (b) ------------------------------------------------------------------------------------
step="a B4 design"
start "$step" "setup=ZelkB4:B4 (JIS)"
expect printer "プリンター : ZelkB4"
expect paper "B4 (JIS)"
[ -f "$config/zelk.zelk" ] || fail "$step: the changed design was not saved on closing"

step="the B4 design again"
start "$step" print
expect printer "プリンター : ZelkB4"
expect paper "B4 (JIS)"
expect_mm width 257
expect_mm height 364
expect orientation portrait
doc=$(last_job ZelkB4) || fail "$step: no job reached ZelkB4"
[ "$(page_size "$doc")" = 729x1032 ] || fail "$step: the job is not B4: $(pdfinfo "$doc")"

# (c) ------------------------------------------------------------------------------------
# A queue without any B4 paper becomes the default, and the B4 queue goes.
private_cups_ppd A4 "$PRIVATE_CUPS_DIR/OnlyA4.ppd" &&
  sed -i -E '/^\*(PageSize|PageRegion|ImageableArea|PaperDimension) (ISOB4|JISB4)\//d' \
    "$PRIVATE_CUPS_DIR/OnlyA4.ppd" || fail "cannot write the PPD"
lpadmin -p ZelkOnlyA4 -E -v "file://$PRIVATE_CUPS_DIR/out/ZelkOnlyA4" \
  -P "$PRIVATE_CUPS_DIR/OnlyA4.ppd" 2>/dev/null && lpadmin -d ZelkOnlyA4 ||
  fail "cannot add ZelkOnlyA4"
lpadmin -x ZelkB4 || fail "cannot delete ZelkB4"
step="the B4 queue is gone"
start "$step" print answer=no
expect printer "プリンター : ZelkOnlyA4"
expect paper "B4 (JIS)"
field warning | grep -q . || fail "$step: no warning beside the printer"
grep -q '^question=.*ZelkB4' "$report" && grep -q '^question=.*はみ出た部分は印刷されません' "$report" ||
  fail "$step: 印刷 did not ask before printing a B4 design on A4"
[ -z "$(private_cups_last_job ZelkOnlyA4)" ] || fail "$step: printed though the user said No"

# That queue goes too; the scheduler's default now has B4: the design prints on it whole.
lpadmin -x ZelkOnlyA4 && lpadmin -d ZelkA4 || fail "cannot change the queues"
step="on a queue with the paper"
start "$step" print
expect printer "プリンター : ZelkA4"
field warning | grep -q ZelkOnlyA4 || fail "$step: the warning does not name ZelkOnlyA4"
grep -q '^question=' "$report" && fail "$step: asked before printing on a paper the queue has"
doc=$(last_job ZelkA4) || fail "$step: no job reached ZelkA4"
[ "$(page_size "$doc")" = 729x1032 ] || fail "$step: printed on another paper: $(pdfinfo "$doc")"

# (d) ------------------------------------------------------------------------------------
text=$(mktemp "${TMPDIR:-/tmp}/journey-text.XXXXXX.txt")
for i in 一 二 三 四 五; do printf '%sの頁\n［＃改ページ］\n' "$i"; done | head -n -1 >"$text"
step="a text set in"
start "$step" "compose=$text" page=3
expect pages "3/5"
step="the text again"
start "$step"
expect pages "3/5"
step="the text edited"
start "$step" "edit=$text"
expect pages "3/7"
grep -q '追加の二' "$text" || fail "$step: the text was not edited"
rm -f "$text" "$report"
echo "journey: every start did what its user expected"
