#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line under hostile input: special files as targets and sources, file
# names that are not UTF-8, numbers no field holds, overlong texts, a read-only folder,
# and saves killed midway. One row per case: exit status, a piece of the message, and
# what must hold afterwards.
set -uo pipefail
zelk=$(realpath "$1")
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
chmod 755 "$work"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }

# row NAME STATUS PATTERN COMMAND...: the command (never waiting more than 20 s) exits
# with STATUS and its standard error holds PATTERN (a fixed string; empty: anything).
row() {
  local name=$1 status=$2 pattern=$3
  shift 3
  timeout 20 "$@" >out.txt 2>err.txt
  local got=$?
  [ "$got" = "$status" ] || fail "$name: exit status $got, not $status ($(head -c 300 err.txt))"
  [ -z "$pattern" ] || grep -qF -- "$pattern" err.txt ||
    fail "$name: no '$pattern' in: $(head -c 300 err.txt)"
}

# Settings files with one double field patched: FIELD_TAG VALUE (a Python float).
patched() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
data = bytearray(open("base.zelk", "rb").read())
at = data.index(struct.pack("<i", int(sys.argv[2], 16))) + 4
data[at:at + 8] = struct.pack("<d", float(sys.argv[3]))
open(sys.argv[1], "wb").write(data)
PY
}
"$zelk" write -o base.zelk 2>/dev/null || fail "write base.zelk"
patched huge.zelk 0x10303 1e308
patched nan.zelk 0x10303 nan

# A file whose outside text holds 10 MB, far beyond what a field keeps.
python3 - <<'PY'
import struct
text = "あ".encode("cp932") * (5 * 1024 * 1024)
open("long.zelk", "wb").write(struct.pack("<ii", 0x10701, len(text)) + text + bytes(4))
PY

mkfifo in.fifo out.fifo out.pdf
ln -s /dev/null null.zelk
ln -s /proc/self/fd/1 stdout.zelk
bad=$'bad\xff.zelk'
mkdir ro && cp base.zelk ro/keep.zelk && chmod 666 ro/keep.zelk && chmod 555 ro
# As root permissions do not stop a write: the read-only folder row runs as nobody.
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

#   name                        status pattern                      command
row "write over a device link"  1 "通常のファイルではありません" "$zelk" write -o null.zelk
row "write over a FIFO"         1 "通常のファイルではありません" "$zelk" write -o out.fifo
row "render over a FIFO"        1 "通常のファイルではありません" "$zelk" render --printer PDF -o out.pdf --set Tate=2
row "print over a FIFO"         1 "通常のファイルではありません" "$zelk" print --printer PDF -o out.pdf
row "show a FIFO"               1 "通常のファイルではありません" "$zelk" show in.fifo
row "render a FIFO"             1 "通常のファイルではありません" "$zelk" render in.fifo --printer PDF -o x.pdf
row "ops a FIFO"                1 "通常のファイルではありません" "$zelk" ops in.fifo --printer PDF
row "write from a FIFO"         1 "通常のファイルではありません" "$zelk" write in.fifo -o x.zelk
row "write a non-UTF-8 name"    0 ""                             "$zelk" write -o "$bad" --set Tate=3
row "show a non-UTF-8 name"     0 ""                             "$zelk" show "$bad"
row "print to a non-UTF-8 name" 0 ""                             "$zelk" print --printer PDF -o "$bad.pdf"
row "YohakuU=1e9"               2 "YohakuU"                      "$zelk" write -o x.zelk --set YohakuU=1e9
row "YohakuU=1e308"             2 "999999999.99"                 "$zelk" layout --printer PDF --set YohakuU=1e308
row "YohakuU=nan"               2 "'nan' is not a number"        "$zelk" layout --printer PDF --set YohakuU=nan
row "YohakuU=inf"               2 "999999999.99"                 "$zelk" layout --printer PDF --set YohakuU=inf
row "1e308 in a file"           1 "YohakuU = 1e+308 is out of range" "$zelk" ops huge.zelk --printer PDF
row "NaN in a file"             1 "YohakuU = nan is out of range" "$zelk" render nan.zelk --printer PDF -o x.pdf
row "--set over a file's 1e308" 0 ""                             "$zelk" ops huge.zelk --printer PDF --set YohakuU=20
row "10 MB outside text"        0 "only its first 32767 were read" "$zelk" ops long.zelk --printer PDF
row "bad --paper"               2 "at most 5000"                 "$zelk" layout --printer PDF --paper 0x10
row "bad --dpi"                 2 "each 1 to 9600"               "$zelk" layout --printer PDF --dpi 0
row "bad --offset"              2 "X from 0 to 2479"             "$zelk" layout --printer PDF --offset 9999,0
row "mistyped subcommand"       2 "unknown command 'rendr'"      "$zelk" rendr -o x.pdf
row "option of no subcommand"   2 "layout, render, ops, show, write, print" "$zelk" --bogus
row "file in a read-only folder" 0 ""                            "${as_user[@]}" "$zelk" write -o ro/keep.zelk --set Tate=4
row "code page 932 stand-ins"   0 "TitleUL の「¥」は「\」として保存されました" \
  "$zelk" write -o subst.zelk --set 'TitleUL=¥〜😀'

# A link to standard output, which is a pipe here.
"$zelk" write -o stdout.zelk 2>pipe.txt | cat >/dev/null
[ "${PIPESTATUS[0]}" = 1 ] && grep -qF "通常のファイルではありません" pipe.txt ||
  fail "write over a link to a pipe: $(cat pipe.txt)"

# What the rows above must leave behind.
[ -c /dev/null ] && [ -L null.zelk ] || fail "the device behind a link was replaced"
[ -p out.fifo ] && [ -p out.pdf ] && [ -L stdout.zelk ] || fail "a FIFO or a link was replaced"
[ -f "$bad" ] && [ -f "$bad.pdf" ] && [ "$(ls | grep -c '^bad')" = 2 ] ||
  fail "a non-UTF-8 name was not kept: $(ls | grep '^bad' | od -c)"
"$zelk" show long.zelk 2>/dev/null |
  python3 -c 'import json, sys; assert len(json.load(sys.stdin)["TitleUL"]) == 32767' ||
  fail "the long text was not shortened to 32767 characters"
"$zelk" show ro/keep.zelk 2>/dev/null | grep -q '"Tate": 4' || fail "the read-only folder's file"
grep -qF "TitleUL の「😀」は「?」として保存されました" err.txt || fail "no note for the emoji"
"$zelk" render --printer PDF --help | head -1 | grep -q '^Usage: zelk render \[options\]' ||
  fail "render's help does not name the command"
"$zelk" write -o - --set Tate=5 >stdout.bin 2>/dev/null && "$zelk" write -o file.bin --set Tate=5 &&
  cmp -s stdout.bin file.bin || fail "write -o - differs from the file"
"$zelk" render --printer PDF -o - --format png >page.png 2>/dev/null && [ "$(head -c 4 page.png | tail -c 3)" = PNG ] ||
  fail "render -o - --format png"

# Saves killed midway, then one more: the file is whole and no temporary file stays.
# A temporary file of a process that no longer runs goes; one of a live process stays.
sh -c 'exit 0' & dead=$!
wait $dead
touch ".kill.zelk.$dead-17.tmp" ".kill.zelk.$$-18.tmp"
for delay in 0.01 0.03 0.05 0.08 0.1 0.15 0.2 0.3; do
  "$zelk" write -o kill.zelk --set Tate=6 & pid=$!
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
done
"$zelk" write -o kill.zelk --set Tate=7 || fail "the save after the killed ones"
"$zelk" show kill.zelk 2>/dev/null | grep -q '"Tate": 7' || fail "the file after killed saves"
[ "$(ls -A | grep '\.tmp$')" = ".kill.zelk.$$-18.tmp" ] ||
  fail "temporary files after killed saves: $(ls -A | grep '\.tmp$' | tr '\n' ' ')"

[ "$fails" = 0 ] && echo "all hostile cases passed"
exit $((fails > 0))
