#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# CI only: installs the .deb into this machine's /usr with apt as a user would, runs
# `zelk --version` and `zelk render`, removes it with `apt remove`, and checks that
# nothing of it is left. The packages apt added for it are removed again, so the
# machine has what it had before. It refuses to run unless ZELK_CI=1, as root, on a
# machine where zelk is not installed.
# Usage: ZELK_CI=1 apt-install-check.sh ./zelk_VERSION_ARCH.deb
set -euo pipefail
[ "${ZELK_CI:-0}" = 1 ] || { echo "apt-install-check: for CI only (set ZELK_CI=1)" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "apt-install-check: needs root" >&2; exit 2; }
deb=$(realpath "$1")
if dpkg-query -W -f='${Status}' zelk 2>/dev/null | grep -q 'installed'; then
  echo "apt-install-check: zelk is installed already; not touching it" >&2
  exit 2
fi
work=$(mktemp -d)
installed() { dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' | awk '$4 == "installed" { print $1 }' | sort; }
installed >"$work/before"
cleanup() {
  # Whatever apt added, in any case: zelk first, then what it pulled in.
  if dpkg-query -W -f='${Status}' zelk 2>/dev/null | grep -q 'installed'; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zelk >/dev/null || true
  fi
  installed >"$work/after"
  added=$(comm -13 "$work/before" "$work/after")
  if [ -n "$added" ]; then
    echo "apt-install-check: removing what apt added: $(echo $added)"
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $added >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "apt-install-check: FAIL: $*" >&2
  exit 1
}

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
  fail "apt install failed: $(tail -5 "$work/apt.log")"
dpkg -L zelk | sort >"$work/files"
[ "$(command -v zelk)" = /usr/bin/zelk ] || fail "zelk is not /usr/bin/zelk"
version=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY zelk --version)
echo "installed: $version"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY zelk render -o x.pdf) || fail "zelk render failed"
head -c 5 "$work/x.pdf" | grep -q '%PDF-' || fail "zelk render wrote no PDF"
man -w zelk >/dev/null || fail "man does not find zelk(1)"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq zelk >/dev/null || fail "apt remove failed"
dpkg-query -W -f='${Status}' zelk 2>/dev/null | grep -q 'config-files' &&
  fail "apt remove left configuration files"
left=""
while IFS= read -r f; do
  [ -d "$f" ] && continue  # a folder of the system, such as /usr/share
  [ -e "$f" ] || [ -L "$f" ] && left="$left $f"
done <"$work/files"
[ -z "$left" ] || fail "apt remove left:$left"
for d in /usr/share/zelk /usr/share/doc/zelk; do
  [ ! -e "$d" ] || fail "apt remove left $d"
done
echo "apt-install-check: installed, ran and removed cleanly"
