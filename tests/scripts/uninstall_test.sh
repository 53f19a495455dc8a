#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake/Uninstall.cmake removes exactly what an install into DESTDIR put there and the
# folders it made, once they are empty; a file or folder that was there before, or one
# added later, stays; a record naming paths outside the root, the root itself, a ".."
# path or a folder removes none of them.
# Usage: uninstall_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail

build=$(cd "$(dirname "$1")/.." && pwd)
source_dir=$(cd "$2/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
uninstall() {
  cmake -DRECORDS="$records" -DPREFIX=/usr/local -DDESTDIR="$stage" \
    -P "$source_dir/cmake/Uninstall.cmake" >"$work/log" 2>&1
}

stage=$work/stage
records=$build/uninstall
root=$stage/usr/local
# What was there before: a file beside ours, and an empty folder we install into.
mkdir -p "$root/share/applications" "$root/share/metainfo"
echo other >"$root/share/applications/other.desktop"
echo keep >"$stage/keep.txt"

DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null 2>&1 || fail "install failed"
[ -x "$root/bin/zelk" ] || fail "nothing installed"
find "$stage" -mindepth 1 | sort >"$work/installed"

# Something the user put into a folder the install made.
mkdir -p "$root/share/zelk/mine"
echo mine >"$root/share/zelk/mine/notes.txt"

uninstall || fail "uninstall failed: $(cat "$work/log")"
left=$(cd "$stage" && find . -mindepth 1 | sort | tr '\n' ' ')
expected='./keep.txt ./usr ./usr/local ./usr/local/share ./usr/local/share/applications ./usr/local/share/applications/other.desktop ./usr/local/share/metainfo ./usr/local/share/zelk ./usr/local/share/zelk/mine ./usr/local/share/zelk/mine/notes.txt '
[ "$left" = "$expected" ] || fail "after uninstall: $left (expected $expected)"
[ "$(cat "$root/share/applications/other.desktop")" = other ] || fail "the other file changed"
# The record is gone: a second uninstall has nothing to do.
uninstall && fail "a second uninstall found a record"

# A record that names what is not ours: none of it is touched.
rm -rf "$stage" && mkdir -p "$root/bin" "$work/outside"
echo x >"$work/outside/file"
echo x >"$root/bin/real"
mkdir -p "$root/share/folder"
hash=$(printf '%s' "$root" | md5sum | cut -d' ' -f1)
mkdir -p "$records"
printf '%s\n' "$work/outside/file" "$root" "/" "$root/bin/../bin/real" "$root/share/folder" \
  "$stage/usr" >"$records/$hash.files"
printf '%s\n' "$work/outside" "$stage" "$stage/usr" "/" >"$records/$hash.dirs"
uninstall && fail "a record with foreign paths was accepted quietly"
rm -f "$records/$hash".*
[ -f "$work/outside/file" ] || fail "a file outside the root was removed"
[ -f "$root/bin/real" ] || fail "a path with .. was followed"
[ -d "$root/share/folder" ] || fail "a folder named as a file was removed"
[ -d "$stage/usr" ] || fail "a folder outside the root was removed"

# The root of the file system is refused as a prefix.
cmake -DRECORDS="$records" -DPREFIX=/ -DDESTDIR= -P "$source_dir/cmake/Uninstall.cmake" \
  >"$work/log" 2>&1 && fail "uninstalling from / was not refused"
grep -q "refusing the root" "$work/log" || fail "no reason for refusing /: $(cat "$work/log")"
echo PASS
