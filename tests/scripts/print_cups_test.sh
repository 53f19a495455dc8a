#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints through real CUPS queues: the test's own scheduler with the cups-pdf driver's
# queues (fixtures/private_cups.sh). The machine's cupsd, its queues and /etc/cups are
# neither read nor changed.
# Usage: print_cups_test.sh ZELK_BINARY TEST_DATA_DIR
# Skipped (exit 77) only when the private scheduler cannot start (not root, no cupsd).
set -uo pipefail

zelk=$1
source "$(dirname "$0")/../fixtures/private_cups.sh"
trap private_cups_stop EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

private_cups_start
rc=$?
[ $rc = 77 ] && { echo "SKIP: the private CUPS scheduler cannot start"; exit 77; }
[ $rc = 0 ] || fail "the private CUPS scheduler did not set up its queues"
out=$PRIVATE_CUPS_DIR/out

# The fixture itself: three queues, Letter the scheduler's default, JIS B4 offered by
# name, and none of the machine's queues in sight.
[ "$(lpstat -p 2>/dev/null | awk '/^printer/ { print $2 }' | sort | tr '\n' ' ')" = \
  "ZelkA4 ZelkB4 ZelkLetter " ] || fail "the private scheduler shows other queues: $(lpstat -p)"
lpstat -d | grep -q 'ZelkLetter$' || fail "ZelkLetter is not the default: $(lpstat -d)"
lpoptions -p ZelkB4 -l | grep -q '^PageSize.*\*JISB4' || fail "ZelkB4's default is not JIS B4"

# print_and_check NAME QUEUE [zelk options...]: prints one sheet on QUEUE, then checks the
# document the scheduler received (title, pages, texts in $expect_text) and that the
# driver's output reached the queue's file.
print_and_check() {
  local name=$1 queue=$2
  shift 2
  rm -f "$out/$queue"
  "$zelk" print --printer "$queue" "$@" || fail "$name: zelk print exited with $?"
  local job
  job=$(private_cups_last_job "$queue")
  [ -n "$job" ] || fail "$name: the queue shows no job"
  private_cups_wait_idle "$queue" || fail "$name: job $job still pending after 30 s"
  lpstat -W completed -o "$queue" | grep -q "^$queue-$job " ||
    fail "$name: job $job did not complete: $(tail -3 "$PRIVATE_CUPS_DIR/log/error_log")"

  local doc info
  doc=$(private_cups_document "$job")
  [ -f "$doc" ] || fail "$name: the spooled document $doc is missing"
  info=$(pdfinfo "$doc") || fail "$name: pdfinfo cannot read the spooled document"
  grep -q '^Title: *印刷プレビュー$' <<<"$info" || fail "$name: title: $(grep Title <<<"$info")"
  grep -q '^Pages: *1$' <<<"$info" || fail "$name: expected one page: $info"
  grep -Eq "^Page size: *${expect_size:-.*} pts" <<<"$info" || fail "$name: page size: $info"
  local text
  text=$(pdftotext "$doc" - | tr -d ' \n')
  for t in ${expect_text:-}; do
    grep -q "$t" <<<"$text" || fail "$name: caption '$t' not found in the spooled text: $text"
  done
  [ -s "$out/$queue" ] && head -c 20 "$out/$queue" | grep -q '^%!PS' ||
    fail "$name: the driver's PostScript did not reach $out/$queue"
  echo "ok: $name (job $job on $queue)"
}

# Each queue's own default paper is the sheet's paper, on screen and in the job.
for row in "ZelkA4|A4 209" "ZelkB4|B4 (JIS) 257" "ZelkLetter|US Letter 215"; do
  queue=${row%%|*} paper=${row#*|}
  "$zelk" layout --printer "$queue" | grep -q "^paper  *$paper" ||
    fail "$queue: the layout's paper is not $paper: $("$zelk" layout --printer "$queue" | grep paper)"
done

# --paper chooses among the queue's media (B4 is JIS B4); a size it lacks is refused
# with the list of those it has.
"$zelk" layout --printer ZelkA4 --paper B4 | grep -q '^paper  *B4 (JIS) 257' ||
  fail "--paper B4 on ZelkA4: $("$zelk" layout --printer ZelkA4 --paper B4 2>&1 | grep paper)"
err=$("$zelk" layout --printer ZelkA4 --paper 100x100 2>&1 >/dev/null)
[ $? = 2 ] && grep -q "has no paper '100x100'; it has: .*A4" <<<"$err" || fail "--paper 100x100: $err"

# A queue that takes no jobs refuses with CUPS's reason (asked before any job ran on it,
# so no finishing job can change what it says); a paused one holds the job and
# says so; an unknown name is a usage error.
# expect_print STATUS NEEDLE QUEUE [ARGS...]: prints on QUEUE, expecting STATUS and NEEDLE.
expect_print() {
  local want=$1 needle=$2 queue=$3
  shift 3
  "$zelk" print --printer "$queue" "$@" >/dev/null 2>"$PRIVATE_CUPS_DIR/err"
  local rc=$?
  [ "$rc" = "$want" ] || fail "printing on $queue: exit $rc, expected $want: $(cat "$PRIVATE_CUPS_DIR/err")"
  grep -qF -- "$needle" "$PRIVATE_CUPS_DIR/err" || fail "printing on $queue: '$needle' not in: $(cat "$PRIVATE_CUPS_DIR/err")"
}
cupsreject -r "用紙切れ" ZelkB4 || fail "cupsreject"
expect_print 1 "ZelkB4 はジョブを受け付けていません: 用紙切れ" ZelkB4
cupsaccept ZelkB4 && cupsdisable ZelkB4 || fail "cupsdisable"
before=$(lpstat -o ZelkB4 | wc -l)
expect_print 0 "ZelkB4 は一時停止中です" ZelkB4
[ "$(lpstat -o ZelkB4 | wc -l)" -gt "$before" ] || fail "the paused queue holds no new job"
cupsenable ZelkB4
expect_print 2 "no printer named 'NoSuchQueue'" NoSuchQueue

a4='595(\.[0-9]+)? x 84[12](\.[0-9]+)?'
expect_size=$a4 expect_text="" print_and_check default ZelkA4
expect_size=$a4 expect_text="原稿用紙 山田太郎" print_and_check vertical ZelkA4 \
  --set Tategaki=1 --set CenterCaption=原稿用紙 --set BottomCaption=山田太郎
expect_size='729 x 1032' expect_text="" print_and_check jis-b4 ZelkB4
expect_size='612 x 792' expect_text="" print_and_check letter ZelkLetter
expect_size='1032 x 729' expect_text="" print_and_check b4-landscape ZelkA4 --paper B4 --landscape
# The sheet lands on the paper 1:1 on every queue, portrait and landscape: the frame's
# left and top strokes start where the margins put them. At 600 dpi the 15 mm left
# margin is 354.33 units and the 12 mm top one 283.46; the frame's 7-unit pen reaches
# 3.5 units before them, to 350.83 and 279.96, so the first dark pixel of a row (a
# column) is 350 or 351 (279 to 281), within one device unit.
first_dark() {  # first_dark DOC X Y W H: the first dark pixel of a one-pixel strip
  local doc=$1 x=$2 y=$3 w=$4 h=$5
  pdftoppm -r 600 -gray -x "$x" -y "$y" -W "$w" -H "$h" "$doc" "$PRIVATE_CUPS_DIR/strip" || return 1
  tail -c $((w * h)) "$PRIVATE_CUPS_DIR"/strip*.pgm |
    od -An -v -tu1 -w1 | awk '$1 < 128 { print NR - 1; found = 1; exit } END { if (!found) print -1 }'
  rm -f "$PRIVATE_CUPS_DIR"/strip*.pgm
}
for queue in ZelkA4 ZelkB4 ZelkLetter; do
  for orientation in portrait landscape; do
    turn=()
    [ "$orientation" = landscape ] && turn=(--landscape)
    "$zelk" print --printer "$queue" "${turn[@]}" --set LineType=2 --set OuterLine=0 \
      --set PageNumber=0 --set Orime=0 || fail "$queue $orientation: printing exited $?"
    job=$(private_cups_last_job "$queue")
    private_cups_wait_idle "$queue" || fail "$queue: job $job still pending"
    doc=$(private_cups_document "$job")
    left=$(first_dark "$doc" 0 1500 1500 1) top=$(first_dark "$doc" 1000 0 1 1500)
    [ "$left" -ge 350 ] && [ "$left" -le 351 ] && [ "$top" -ge 279 ] && [ "$top" -le 281 ] ||
      fail "$queue $orientation: the frame starts at left $left, top $top"
  done
done

# A design from a file prints on its own paper: a JIS B4 design on the A4 queue is a B4
# job. A size the queue lacks is refused (exit 2) naming the papers it has, and nothing
# is sent; --paper lays the design out on one of them.
design=$PRIVATE_CUPS_DIR/design
"$zelk" write -o "$design-b4.zelk" --set PaperWidth=257 --set PaperHeight=364 \
  --set "PaperName=B4 (JIS)" || fail "write the B4 design"
"$zelk" write -o "$design-square.zelk" --set PaperWidth=100 --set PaperHeight=100 ||
  fail "write the 100 mm design"
expect_size='729 x 1032' expect_text="" print_and_check "B4 design on the A4 queue" ZelkA4 \
  "$design-b4.zelk"
before=$(lpstat -W all -o ZelkA4 | wc -l)
expect_print 2 "has no paper of the design's size (100 x 100 mm); it has: " ZelkA4 \
  "$design-square.zelk"
[ "$(lpstat -W all -o ZelkA4 | wc -l)" = "$before" ] || fail "the refused design was sent"
expect_size=$a4 expect_text="" print_and_check "100 mm design on A4 by --paper" ZelkA4 \
  --paper A4 "$design-square.zelk"

# A queue called PDF, as printer-driver-cups-pdf makes one: PDF still means the virtual
# printer, and the queue is reached as cups:PDF.
lpadmin -p PDF -E -v "file://$out/PDF" -P "$PRIVATE_CUPS_DIR/ZelkA4.ppd" 2>/dev/null ||
  fail "lpadmin PDF"
"$zelk" layout --printer PDF | grep -q '^printer  *PDF ファイル$' || fail "--printer PDF is not the virtual printer"
"$zelk" layout --printer cups:PDF | grep -q '^printer  *PDF$' || fail "cups:PDF is not the queue"
"$zelk" print --printer PDF -o "$PRIVATE_CUPS_DIR/v.pdf" && [ -s "$PRIVATE_CUPS_DIR/v.pdf" ] ||
  fail "--printer PDF -o no longer writes a file"
echo "PASS"
