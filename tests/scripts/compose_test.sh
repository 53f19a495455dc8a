#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The compose command: a text set into the sheet's cells as one multi-page PDF whose text can
# be extracted, as one PNG per page, and in the op format with every cell's text op
# inside a cell and every ruby inside a gap strip; bad arguments refused with status 2,
# a missing text with status 1.
# Usage: compose_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Two pages: the title page and, after the page break, one paragraph. CR LF line ends.
printf '%s\r\n' '題名' '著者' '　吾輩《わがはい》は猫である。名前はまだ無い。' '［＃改ページ］' \
  'どこで生れたか見当《けんとう》がつかぬ。' >"$tmp/text.txt"

# --- PDF: one file of every page, its text extractable ------------------------------------
if command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null; then
  for direction in 0 1; do
    pdf=$tmp/across$direction.pdf
    "$zelk" compose "$tmp/text.txt" --title --printer PDF --set Tategaki=$direction -o "$pdf" ||
      fail "compose to PDF (Tategaki=$direction) exited $?"
    grep -q '^Pages: *2$' <<<"$(pdfinfo "$pdf" 2>&1)" || fail "Tategaki=$direction: not two pages"
  done
  # Across, each line comes out as it reads.
  extracted=$(pdftotext "$tmp/across0.pdf" - | tr -d ' \n')
  for phrase in 題名 著者 名前はまだ無い。 どこで生れたか; do
    [[ $extracted == *"$phrase"* ]] || fail "'$phrase' cannot be extracted: $extracted"
  done
fi

# --- PDF: the sheet every page shares is written once, and a later page that shows it
# looks exactly like the same text drawn on the first page.
if command -v pdftoppm >/dev/null; then
  printf '%s\n' 'どこで生れたか見当《けんとう》がつかぬ。' >"$tmp/second.txt"
  "$zelk" compose "$tmp/text.txt" --printer PDF -o "$tmp/both.pdf" || fail "compose both exited $?"
  "$zelk" compose "$tmp/second.txt" --printer PDF -o "$tmp/second.pdf" ||
    fail "compose second exited $?"
  forms=$(grep -a -c '/Subtype/Form' "$tmp/both.pdf")
  [ "$forms" = 1 ] || fail "two pages of one sheet wrote $forms forms, not 1"
  pdftoppm -r 40 -gray -f 2 -l 2 "$tmp/both.pdf" "$tmp/both" &&
    pdftoppm -r 40 -gray "$tmp/second.pdf" "$tmp/second" &&
    cmp -s "$tmp"/both-*2.pgm "$tmp"/second-*1.pgm ||
    fail "the second page does not look like the same text on a first page"
fi

# --- PNG: one file per page ---------------------------------------------------------------
"$zelk" compose "$tmp/text.txt" --printer PDF --png-dpi 30 -o "$tmp/page.png" ||
  fail "compose to PNG exited $?"
[ -s "$tmp/page-001.png" ] && [ -s "$tmp/page-002.png" ] && [ ! -e "$tmp/page-003.png" ] ||
  fail "PNG pages: $(ls "$tmp")"

# --- ops: every cell's text inside a cell, every ruby inside a strip ----------------------
# The cells' sides are where the grid's straight lines and the frame run. Along the lines the
# cells touch, so the commonest step between two sides there is the cell's side; across,
# a step of that size is a cell and any other a gap strip (or the fold band).
check_ops() {
  python3 - "$1" "$2" <<'EOF'
import re, sys
from collections import Counter
ops, vertical = open(sys.argv[1], encoding="utf-8").read(), sys.argv[2] == "1"
errors, rubies = [], 0
for page in ops.split("\npage ")[1:]:
    xs, ys, texts = set(), set(), []
    for line in page.splitlines():
        f = line.split(" ")
        if f[0] == "line":
            x1, y1, x2, y2 = map(int, f[1:5])
            if x1 == x2: xs.add(x1)
            if y1 == y2: ys.add(y1)
        elif f[0] == "rect":
            l, t, r, b = map(int, f[1:5]); xs |= {l, r}; ys |= {t, b}
        elif f[0] == "text":
            m = re.match(r'text (-?\d+) (-?\d+) "(.*)" font "(@?)ＭＳ 明朝" (\d+)', line)
            if m: texts.append((int(m[1]), int(m[2]), m[3], int(m[5])))
    def steps(sides):
        s = sorted(sides); return [(a, b) for a, b in zip(s, s[1:])]
    along, across = (steps(ys), steps(xs)) if vertical else (steps(xs), steps(ys))
    cell = Counter(b - a for a, b in along).most_common(1)[0][0]
    body = max(size for *_, size in texts)
    def find(v, intervals):
        return next(((a, b) for a, b in intervals if a <= v < b), None)
    for x, y, text, size in texts:
        a, c = (y, x) if vertical else (x, y)
        run, side = find(a, along), find(c, across)
        if run is None or side is None:
            errors.append(f"{text} at {x},{y} is outside the grid"); continue
        in_cell_across = abs((side[1] - side[0]) - cell) <= 2
        if in_cell_across and abs((run[1] - run[0]) - cell) <= 2:
            continue
        if not in_cell_across and 2 * size <= body:
            rubies += 1; continue
        errors.append(f"{text} at {x},{y} is in no cell")
for e in errors: print(e)
print(f"rubies {rubies}")
EOF
}
for direction in 0 1; do
  # Twice as many cells along the lines as across, so that the strips have a width.
  if [ $direction = 1 ]; then sets=(--set Tate=20 --set Yoko=10); else sets=(--set Tate=10 --set Yoko=20); fi
  sets+=(--set LineType=2)  # straight lines, whose ops name the sides
  "$zelk" compose "$tmp/text.txt" --printer PDF --set Tategaki=$direction "${sets[@]}" --ops \
    >"$tmp/ops$direction.txt" || fail "compose --ops (Tategaki=$direction) exited $?"
  [ "$(grep -c '^page ' "$tmp/ops$direction.txt")" = 2 ] || fail "Tategaki=$direction: not two pages of ops"
  result=$(check_ops "$tmp/ops$direction.txt" $direction)
  [ "$result" = "rubies 2" ] || fail "Tategaki=$direction: $result"
done

# --- page numbers on the page-number lines -------------------------------------------------
"$zelk" compose "$tmp/text.txt" --printer PDF --set PageNumber=1 --number-pages --ops >"$tmp/numbered.txt" ||
  fail "compose --number-pages exited $?"
grep -q '^text [0-9-]* [0-9-]* "2" ' "$tmp/numbered.txt" || fail "no page number 2 in the ops"

# --- an empty text is one blank sheet ------------------------------------------------------
: >"$tmp/empty.txt"
"$zelk" compose "$tmp/empty.txt" --printer PDF --ops >"$tmp/empty.ops" || fail "compose of an empty text exited $?"
[ "$(grep -c '^page ' "$tmp/empty.ops")" = 1 ] && ! grep -q '明朝' "$tmp/empty.ops" ||
  fail "an empty text is not one blank page"

# --- refusals -----------------------------------------------------------------------------
expect_status() {
  local want=$1
  shift
  "$@" >/dev/null 2>"$tmp/err"
  local got=$?
  [ "$got" = "$want" ] || fail "'${*:2}' exited $got, not $want"
  [ "$(wc -l <"$tmp/err")" = 1 ] || fail "'${*:2}': not one line on stderr: $(cat "$tmp/err")"
}
expect_status 2 "$zelk" compose --printer PDF -o "$tmp/x.pdf"
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt"
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" -o "$tmp/x.txt"
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" -o "$tmp/x.pdf" --heading-cell 0
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" --json
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" --count -o "$tmp/x.pdf"
count=$("$zelk" compose --printer PDF "$tmp/text.txt" --count --json) || fail "compose --count exited $?"
python3 -c 'import json, sys; c = json.loads(sys.argv[1]); assert c["characters"] > 0 and c["sheets400"] >= 1 and c["pages"] >= 1' "$count" ||
  fail "compose --count --json: $count"
"$zelk" compose --printer PDF "$tmp/text.txt" --count | grep -q '^400字詰め: [0-9]* 枚$' || fail "compose --count"
expect_status 2 "$zelk" print --printer PDF -o "$tmp/x.pdf" --heading-cell 3
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" --ops -o "$tmp/x.pdf"
expect_status 2 "$zelk" compose --printer PDF "$tmp/text.txt" --png-dpi 100 -o "$tmp/x.pdf"
expect_status 1 "$zelk" compose "$tmp/missing.txt" --printer PDF -o "$tmp/x.pdf"
expect_status 1 "$zelk" compose "$tmp" --printer PDF -o "$tmp/x.pdf"
truncate -s 5M "$tmp/large.txt"
expect_status 1 "$zelk" compose "$tmp/large.txt" --printer PDF -o "$tmp/x.pdf"
[ ! -e "$tmp/x.pdf" ] || fail "a refused command wrote its output"

[ "$failures" = 0 ] || exit 1
echo PASS
