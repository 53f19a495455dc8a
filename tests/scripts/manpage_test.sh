#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The man page (data/zelk.1) is in step with the program's help: it has a section for
# every subcommand `zelk --help` lists and no other, and each section describes exactly
# the options the subcommand's --help lists (itself, or by naming the SHEET OPTIONS or
# TEXT OPTIONS it takes); `zelk --help` lists --version, which works.
# Usage: manpage_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
man=$(cd "$2/../.." && pwd)/data/zelk.1
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
[ -f "$man" ] || fail "no man page $man"

help=$("$zelk" --help) || fail "zelk --help failed"
grep -q -- '-v, --version' <<<"$help" || fail "zelk --help does not list --version"
"$zelk" --version | grep -qE '^zelk [0-9]+\.[0-9]+\.[0-9]+' || fail "zelk --version: $("$zelk" --version)"
grep -q '^\.BR \\-v ", " \\-\\-version' "$man" || fail "the man page does not describe --version"
grep -q '^\.BR \\-h ", " \\-\\-help' "$man" || fail "the man page does not describe --help"

# The options of a help text: --name of each line that begins with an option.
help_options() {
  sed -nE 's/^  (-[a-zA-Z], )?--([a-z0-9-]+).*/\2/p' | grep -vxE 'help|help-all' | sort -u
}
# The options a part of the man page describes: the --name that begins each .TP item.
man_options() {
  awk '/^\.TP/ { getline; print }' | sed -nE 's/^\.B[IR]? +(\\-[a-zA-Z] ", " )?\\-\\-([a-z0-9\\-]+).*/\2/p' |
    sed 's/\\-/-/g' | sort -u
}
# The lines of the man page from the heading `$1` (a regular expression) to the next one.
man_part() {
  awk -v h="$1" '/^\.S[HS] / { inside = ($0 ~ h) ; next } inside' "$man"
}

commands=$(sed -nE '/^Subcommands:/,/^$/ s/^  ([a-z]+) .*/\1/p' <<<"$help" | sort)
[ -n "$commands" ] || fail "zelk --help lists no subcommands"
in_man=$(sed -nE 's/^\.SS "zelk ([a-z]+).*/\1/p' "$man" | sort)
[ "$commands" = "$in_man" ] || fail "subcommands: help has $(echo $commands), the man page $(echo $in_man)"

sheet=$(man_part '^\.SH SHEET OPTIONS' | man_options)
text=$(man_part '^\.SH TEXT OPTIONS' | man_options)
[ -n "$sheet" ] && [ -n "$text" ] || fail "no SHEET OPTIONS or TEXT OPTIONS section"
status=0
for c in $commands; do
  part=$(man_part "^\\.SS \"zelk $c[ \"]")
  described=$(man_options <<<"$part")
  grep -q 'SHEET OPTIONS' <<<"$part" && described=$(printf '%s\n%s\n' "$described" "$sheet")
  grep -q 'TEXT OPTIONS' <<<"$part" && described=$(printf '%s\n%s\n' "$described" "$text")
  described=$(grep -v '^$' <<<"$described" | sort -u)
  listed=$("$zelk" "$c" --help | help_options)
  if [ "$described" != "$listed" ]; then
    echo "zelk $c: --help and the man page differ (< help, > man page):" >&2
    diff <(echo "$listed") <(echo "$described") >&2
    status=1
  fi
done
[ $status = 0 ] || fail "the man page is not in step with the help"

# It is a man page man can format without a warning.
if command -v man >/dev/null && command -v groff >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man warns: $warnings"
fi
echo PASS
