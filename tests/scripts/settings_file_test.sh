#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# zelk write, show, and settings files drawn by render and ops.
set -uo pipefail
zelk=$(realpath "$1")
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$work/run"
trap 'rm -rf "$work"' EXIT
cd "$work"
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }

# A default file begins with the SettingName entry and ends with three int32 zeros.
"$zelk" write -o default.zelk 2>/dev/null || fail "write default"
[ "$(head -c 16 default.zelk | od -An -tx1 | tr -d ' \n')" = 000101000800000088f38dfc90dd92e8 ] ||
  fail "default file does not begin with the SettingName entry"
[ "$(tail -c 12 default.zelk | od -An -tx1 | tr -d ' \n')" = 000000000000000000000000 ] ||
  fail "default file does not end with three zeros"

# show prints one JSON object with the --set values.
"$zelk" write -o set.zelk --set Tate=7 --set 'TitleUL=第一 "章"' --set 'TitleULFont=IPAMincho,12,bold,underline' \
  --set Tategaki=0 2>/dev/null || fail "write with --set"
"$zelk" show set.zelk >set.json 2>show.err || fail "show exit status"
python3 - set.json <<'PY' || fail "show JSON"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["Tate"] == 7, d["Tate"]
assert d["TitleUL"] == '第一 "章"', d["TitleUL"]
f = d["TitleULFont"]
assert f["Name"] == "IPAMincho" and f["Size"] == 12 and f["Bold"] and f["Underline"], f
assert not f["Italic"] and not f["StrikeOut"], f
assert d["Tategaki"] is False and d["Yokogaki"] is True
assert len(d["Cell"]) == 7 and set(d["Cell"]["GapStart"]) == {"LineType", "Width", "LineWidth"}
assert list(d)[0] == "Cell" and list(d)[1] == "SettingName"
assert len(d) == 61, len(d)
PY
[ -s show.err ] && fail "show of a complete file wrote to stderr: $(cat show.err)"

# write IN -o OUT keeps IN's values and applies the changes.
"$zelk" write set.zelk -o again.zelk --set Yoko=9 2>/dev/null || fail "write IN"
"$zelk" show again.zelk 2>/dev/null | python3 -c '
import json, sys; d = json.load(sys.stdin); assert d["Tate"] == 7 and d["Yoko"] == 9' ||
  fail "write IN lost values"

# A cut file prints what was read, a note on stderr, and exits 0.
head -c 26 set.zelk >cut.zelk  # SettingName (16 bytes) and PaperName "A4" (10 bytes)
"$zelk" show cut.zelk >cut.json 2>cut.err || fail "show of a cut file exit status"
python3 -c 'import json, sys; d = json.load(open("cut.json")); assert list(d) == ["SettingName", "PaperName"], d' ||
  fail "cut file JSON: $(cat cut.json)"
grep -q "reading stopped at byte 26: the file ends without its end marker" cut.err ||
  fail "no note for the cut file: $(cat cut.err)"
head -c 30 set.zelk >cut2.zelk
"$zelk" show cut2.zelk >/dev/null 2>cut.err || fail "show of a file cut in an entry"
grep -q "ends inside the entry CenterCaption (0x10211) that begins at byte 26" cut.err ||
  fail "no note for the entry cut: $(cat cut.err)"

# Unwritable outputs: clear message, exit 1, nothing left behind; the old file survives.
echo "a plain file" >plain
for out in missing/x.zelk plain/x.zelk /proc/x.zelk; do
  "$zelk" write -o "$out" 2>err.txt
  [ $? -eq 1 ] || fail "write -o $out: exit status"
  grep -q "を保存できません" err.txt || fail "write -o $out: message $(cat err.txt)"
done
mkdir dir.zelk
"$zelk" write -o dir.zelk 2>err.txt; [ $? -eq 1 ] || fail "write over a folder"
[ "$(ls -A dir.zelk)" = "" ] || fail "write left a file in the folder"
[ "$(ls -A | grep -c '\.tmp$')" = 0 ] || fail "a temporary file was left"
cp set.zelk keep.zelk
"$zelk" write missing.zelk -o keep.zelk 2>err.txt; [ $? -eq 1 ] || fail "missing IN: exit status"
grep -q "を開けません" err.txt || fail "missing IN: message $(cat err.txt)"
cmp -s set.zelk keep.zelk || fail "a failed write changed the old file"
"$zelk" write -o 2>/dev/null; [ $? -eq 2 ] || fail "write without OUT is a usage error"
"$zelk" show missing.zelk 2>/dev/null; [ $? -eq 1 ] || fail "show of a missing file"

# render and ops draw a file as the window shows it: a Tate of 0 is held to 1.
"$zelk" ops --printer PDF default.zelk >file.ops 2>/dev/null || fail "ops FILE"
"$zelk" ops --printer PDF >plain.ops 2>/dev/null || fail "ops"
cmp -s file.ops plain.ops || fail "the default file draws differently from the first start"
"$zelk" write -o tate0.zelk --set Tate=0 2>/dev/null
"$zelk" write -o tate1.zelk --set Tate=1 2>/dev/null
"$zelk" ops --printer PDF tate0.zelk >t0.ops 2>/dev/null || fail "ops of Tate 0"
"$zelk" ops --printer PDF tate1.zelk >t1.ops 2>/dev/null
cmp -s t0.ops t1.ops || fail "Tate 0 is not drawn as Tate 1"
cmp -s t1.ops plain.ops && fail "Tate 1 draws like the default"
"$zelk" ops --printer PDF set.zelk --set Tate=7 >s.ops 2>/dev/null || fail "ops FILE --set"
"$zelk" render --printer PDF default.zelk -o sheet.pdf 2>/dev/null || fail "render FILE"
[ -s sheet.pdf ] || fail "render FILE wrote no PDF"
"$zelk" ops --printer PDF missing.zelk 2>/dev/null; [ $? -eq 1 ] || fail "ops of a missing file"
"$zelk" ops --printer PDF a.zelk b.zelk 2>/dev/null; [ $? -eq 2 ] || fail "ops with two files"

[ $fails -eq 0 ] && echo "settings file commands: all passed"
exit $((fails > 0))
