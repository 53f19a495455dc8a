#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` puts the binary, a valid .desktop file, the hicolor icon and the
# file type of *.zelk in place, and the file type really matches settings files.
# Usage: install_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail

zelk=$1
build=$(cd "$(dirname "$zelk")/.." && pwd)
source_dir=$(cd "$2/../.." && pwd)
prefix=$(mktemp -d)
# The install's record goes with it (cmake/Uninstall.cmake).
cleanup() {
  cmake -DRECORDS="$build/uninstall" -DPREFIX="$prefix" -P "$source_dir/cmake/Uninstall.cmake" \
    >/dev/null 2>&1
  rm -rf "$prefix"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/zelk" ] || fail "no executable bin/zelk"
desktop=$prefix/share/applications/zelk.desktop
[ -f "$desktop" ] || fail "no .desktop file"
grep -qx 'Exec=zelk %f' "$desktop" || fail "Exec is not 'zelk %f'"
grep -q '^Name\[ja\]=' "$desktop" || fail "no Japanese name"
grep -q '^Name=' "$desktop" || fail "no English name"
grep -q '^MimeType=application/x-zelk;' "$desktop" || fail "the launcher does not claim *.zelk"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
else
  echo "note: desktop-file-validate not installed; validation skipped"
fi
readelf -S "$prefix/bin/zelk" | grep -q '\.symtab\|\.debug_info' && fail "the installed binary is not stripped"
man=$prefix/share/man/man1/zelk.1.gz
[ -f "$man" ] || fail "no man page"
gzip -t "$man" || fail "the man page is not gzip"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null)
[ -f "$metainfo" ] || fail "no AppStream metainfo"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli rejects $metainfo"
fi
[ -f "$prefix/share/doc/zelk/copyright" ] || fail "no copyright file"
icon=$prefix/share/icons/hicolor/scalable/apps/zelk.svg
[ -f "$icon" ] || fail "no hicolor icon"
grep -q '<svg' "$icon" || fail "the icon is not SVG"
help=$prefix/share/zelk/help/zelk.html
[ -f "$help" ] || fail "no help page"
grep -q '<html lang="ja"' "$help" || fail "the help page is not a Japanese HTML page"
mime=$prefix/share/mime/packages/zelk.xml
[ -f "$mime" ] || fail "no shared-mime-info package"
grep -q 'glob pattern="\*.zelk"' "$mime" || fail "the file type has no *.zelk glob"

# With the database built from the installed package, a .zelk file is of that type.
if command -v update-mime-database >/dev/null && command -v xdg-mime >/dev/null; then
  update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database failed"
  sample=$prefix/sample.zelk
  QT_QPA_PLATFORM=offscreen "$prefix/bin/zelk" write -o "$sample" >/dev/null 2>&1 ||
    printf '\0\1\1\0' >"$sample"
  type=$(XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_DATA_HOME="$prefix/none" xdg-mime query filetype "$sample" 2>/dev/null)
  [ -z "$type" ] || [ "$type" = application/x-zelk ] || fail "a .zelk file is of type '$type'"
fi
echo PASS
