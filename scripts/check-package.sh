#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a built zelk .deb without installing it: lintian (no errors), its metainfo
# (appstreamcli validate), its launcher (desktop-file-validate), its man page, and that
# its binary is stripped and declares the libraries and the Japanese font it needs.
# Usage: check-package.sh zelk_VERSION_ARCH.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check-package: FAIL: $*" >&2
  exit 1
}

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -f "$deb" Depends >"$work/depends"
echo "Depends: $(cat "$work/depends")"
grep -q 'libqt6widgets6' "$work/depends" || fail "no Qt dependency (dpkg-shlibdeps)"
grep -q 'fonts-ipafont | fonts-noto-cjk' "$work/depends" || fail "no Japanese font dependency"
dpkg-deb -f "$deb" Recommends | grep -q printer-driver-cups-pdf || fail "cups-pdf not recommended"
for f in usr/bin/zelk usr/share/applications/zelk.desktop usr/share/man/man1/zelk.1.gz \
  usr/share/mime/packages/zelk.xml usr/share/icons/hicolor/scalable/apps/zelk.svg \
  usr/share/doc/zelk/copyright usr/share/doc/zelk/changelog.gz usr/share/zelk/help/zelk.html; do
  [ -f "$work/root/$f" ] || fail "the package lacks /$f"
done
readelf -S "$work/root/usr/bin/zelk" | grep -q '\.debug_info' && fail "the binary is not stripped"
echo "binary: $(stat -c %s "$work/root/usr/bin/zelk") bytes, package: $(stat -c %s "$deb") bytes"

metainfo=$(ls "$work"/root/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo"
desktop-file-validate "$work/root/usr/share/applications/zelk.desktop"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$work/root/usr/share/man/man1/zelk.1.gz" \
  >/dev/null

# lintian: errors fail; warnings are listed. (As root it says that it is root.)
lintian --tag-display-limit 0 --allow-root "$deb" | tee "$work/lintian" || true
if grep -q '^E: ' "$work/lintian"; then fail "lintian reports errors"; fi
echo "check-package: $(basename "$deb") passes"
