#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ready-made sheets on the command line: `zelk presets` lists them, --preset gives every
# command that takes a design the sheet with its paper, grid and colours, --paper and
# --set apply over it, and a name that is none or a settings file beside it is refused.
# Usage: presets_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

mapfile -t names < <("$zelk" presets)
[[ ${#names[@]} -ge 7 ]] || fail "presets lists ${#names[@]} names: ${names[*]}"
for expected in b4-400 a4-400 b5-200 low-15x16 low-10x8 a4-yokogaki a3-400; do
  [[ " ${names[*]} " == *" $expected "* ]] || fail "presets lacks $expected"
done

# Each preset draws in its colour, never black, on its paper.
declare -A colour=([b4-400]='#8C5A3C' [a4-400]='#2E7D4F' [a3-400]='#E3452C' [a4-yokogaki]='#1F4E89')
for name in "${names[@]}"; do
  ops=$("$zelk" ops --printer PDF --preset "$name") || fail "$name: ops exited $?"
  if [[ -n ${colour[$name]:-} ]]; then
    grep -q "pen [0-9]* solid ${colour[$name]}" <<<"$ops" || fail "$name: no line in ${colour[$name]}"
  fi
  grep -q 'pen [0-9]* solid #000000' <<<"$ops" && fail "$name: a black line"
done
while read -r name paper orientation; do
  layout=$("$zelk" layout --printer PDF --preset "$name") || fail "$name: layout exited $?"
  grep -q "^paper  *$paper .*($orientation)" <<<"$layout" || fail "$name: not $paper $orientation: $layout"
done <<'TABLE'
b4-400 B4 横長
a4-400 A4 縦長
b5-200 B5 縦長
a3-400 A3 横長
TABLE
layout=$("$zelk" layout --printer PDF --preset b4-400 --paper A3 --set Tate=10)
grep -q '^paper  *A3 ' <<<"$layout" || fail "--paper does not win over the preset's paper"
grep -q '^grid  *20 x 10 cells' <<<"$layout" || fail "--set does not apply over the preset"

# The design saved and read back keeps the preset's colours and count marks.
"$zelk" write --printer PDF --preset a4-400 -o "$tmp/a4.zelk" || fail "write exited $?"
shown=$("$zelk" show "$tmp/a4.zelk")
grep -q '"LineColor": 5209390' <<<"$shown" || fail "show lacks the line colour: $shown"
grep -q '"CountMarks": 5' <<<"$shown" || fail "show lacks the count marks"

# Refusals: status 2, with the reason.
err=$("$zelk" render --printer PDF --preset nosuch -o "$tmp/x.pdf" 2>&1)
[[ $? -eq 2 && $err == *b4-400* ]] || fail "an unknown preset: $err"
err=$("$zelk" render --printer PDF --preset b4-400 "$tmp/a4.zelk" -o "$tmp/x.pdf" 2>&1)
[[ $? -eq 2 && $err == *--preset* ]] || fail "a preset beside a settings file: $err"
[[ -e $tmp/x.pdf ]] && fail "a refused command wrote its output"

exit $((failures > 0))
