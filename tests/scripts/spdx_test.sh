#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every tracked source file names the licence in an SPDX line (scripts/add-spdx.sh adds
# it), and the script that adds it changes nothing in a file that has it.
# Usage: spdx_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
root=$(cd "$2/../.." && pwd)
git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  echo "note: $root is not a git checkout; nothing to check"
  exit 77
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
grep -q 'GNU GENERAL PUBLIC LICENSE' "$root/LICENSE" || fail "LICENSE is not the GPL"
grep -q 'Version 3, 29 June 2007' "$root/LICENSE" || fail "LICENSE is not version 3 of the GPL"

# The script on a copy: it adds the line in each style, once.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/src"
cp "$root/scripts/add-spdx.sh" "$work/scripts/"
printf 'int main() {}\n' >"$work/src/a.cpp"
printf '#!/bin/sh\necho hi\n' >"$work/src/b.sh"
printf 'project(x)\n' >"$work/CMakeLists.txt"
printf 'not a source file\n' >"$work/notes.txt"
git -C "$work" init -q && git -C "$work" add -A
bash "$work/scripts/add-spdx.sh" >/dev/null || fail "add-spdx.sh failed on a copy"
[ "$(head -n 1 "$work/src/a.cpp")" = '// SPDX-License-Identifier: GPL-3.0-or-later' ] ||
  fail "a .cpp file did not get a // line first"
[ "$(head -n 1 "$work/src/b.sh")" = '#!/bin/sh' ] || fail "the #! line of a script moved"
[ "$(sed -n 2p "$work/src/b.sh")" = '# SPDX-License-Identifier: GPL-3.0-or-later' ] ||
  fail "a script did not get a # line after its #! line"
[ "$(head -n 1 "$work/CMakeLists.txt")" = '# SPDX-License-Identifier: GPL-3.0-or-later' ] ||
  fail "CMakeLists.txt did not get a # line"
[ "$(cat "$work/notes.txt")" = 'not a source file' ] || fail "a text file was changed"
before=$(cat "$work/src/a.cpp" "$work/src/b.sh" "$work/CMakeLists.txt" | md5sum)
bash "$work/scripts/add-spdx.sh" >/dev/null || fail "a second run failed"
after=$(cat "$work/src/a.cpp" "$work/src/b.sh" "$work/CMakeLists.txt" | md5sum)
[ "$before" = "$after" ] || fail "a second run changed files that had the line"
printf 'int f();\n' >"$work/src/c.h" && git -C "$work" add src/c.h
bash "$work/scripts/add-spdx.sh" --check >/dev/null && fail "--check passed a file without the line"

# The project's own files.
bash "$root/scripts/add-spdx.sh" --check || fail "source files lack the SPDX line (run scripts/add-spdx.sh)"
echo PASS
