#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every tracked source file the licence's SPDX line, in the file's comment style,
# as its first line (after a "#!" line). Files that have it are left as they are, so a
# second run changes nothing.
# Usage: add-spdx.sh [--check]   (--check: change nothing, list the files that lack it
#                                 and fail when there is one)
set -euo pipefail
cd "$(dirname "$0")/.."
id='SPDX-License-Identifier: GPL-3.0-or-later'
check=0
[ "${1:-}" = --check ] && check=1

# The comment that opens a line in this file, or nothing when it is no source file.
comment_of() {
  case $1 in
    *.cpp | *.cc | *.c | *.h | *.hpp) echo '//' ;;
    *.sh | *.cmake | *.py | */CMakeLists.txt | CMakeLists.txt | Makefile | */Makefile) echo '#' ;;
    .ci/run) echo '#' ;;
    *.in)
      # A template is in the style of what it makes: a script when it begins with "#!".
      if head -c 2 "$1" | grep -q '^#!'; then echo '#'; fi ;;
  esac
}

missing=0
while IFS= read -r -d '' f; do
  [ -f "$f" ] && [ ! -L "$f" ] || continue
  c=$(comment_of "$f")
  [ -n "$c" ] || continue
  # The line counts where it is looked for: among the first two lines.
  head -n 2 "$f" | grep -qF "$id" && continue
  if [ $check = 1 ]; then
    echo "no SPDX line: $f"
    missing=1
    continue
  fi
  tmp=$(mktemp "$f.spdx.XXXXXX")
  if head -n 1 "$f" | grep -q '^#!'; then
    { head -n 1 "$f"; echo "$c $id"; tail -n +2 "$f"; } >"$tmp"
  else
    { echo "$c $id"; cat "$f"; } >"$tmp"
  fi
  chmod --reference="$f" "$tmp"
  mv "$tmp" "$f"
  echo "added: $f"
done < <(git ls-files -z)
exit $missing
