#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line prepares every sheet through the settings form, so the values come
# back as the window's controls hold them: counts within 1..40, lengths to the
# hundredth, a line width of at least 0.1 (its pens from the text), and a length that
# no numeric field can hold is a conversion error, not a crash.
set -uo pipefail
zelk=$1
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect_line "ARGS" "PREFIX" "LINE": the layout line starting with PREFIX is LINE.
expect_line() {
  local out line
  read -r -a args <<<"$1"
  out=$("$zelk" layout --printer PDF "${args[@]}" 2>"$tmp/err") || { fail "$1: exit $? $(cat "$tmp/err")"; return; }
  line=$(grep -E "^$2" <<<"$out")
  [[ $line == "$3" ]] || fail "$1: got '$line', want '$3'"
}

expect_line "--set Tate=99 --set Yoko=0" "grid" "grid         1 x 40 cells, 縦書き用"
expect_line "--set LineWidth=0.05" "pen width" "pen width    2 x 2"
expect_line "--set LineWidth=0.3" "pen width" "pen width    7 x 7"
expect_line "--set Tategaki=0" "grid" "grid         20 x 20 cells, 横書き用"
# 12.004 mm shows as "12" in its field: the same area as the default 12 mm margin.
default_area=$("$zelk" layout --printer PDF 2>/dev/null | grep '^area')
expect_line "--set YohakuU=12.004" "area" "$default_area"
expect_line "--set YohakuU=12.006" "area" "$("$zelk" layout --printer PDF --set YohakuU=12.01 2>/dev/null | grep '^area')"

"$zelk" layout --printer PDF --set PaperWidth=1e12 >"$tmp/out" 2>"$tmp/err"
status=$?
[[ $status == 2 ]] || fail "too long a paper width: exit $status, want 2"
grep -q "PaperWidth: '1e12' is out of range (a length from -999999999.99 to 999999999.99 mm)" \
  "$tmp/err" || fail "no range message: $(cat "$tmp/err")"
[[ $(wc -l <"$tmp/err") -le 2 ]] || fail "more than a one-line report: $(cat "$tmp/err")"

[[ $failures == 0 ]] || { echo "$failures failure(s)"; exit 1; }
echo "form transfer on the command line: ok"
