#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Standard output that cannot be written (/dev/full): every subcommand, help and version
# that writes there fails with exit status 1 and says why on standard error; a command
# that writes nothing there (print to a file) is not disturbed by it.
# Usage: full_stdout_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/run" && export XDG_RUNTIME_DIR=$tmp/run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
[ -w /dev/full ] || { echo "no /dev/full here" >&2; exit 77; }

"$zelk" write --printer PDF -o "$tmp/sheet.zelk" || fail "write sheet.zelk exited $?"
printf '%s\n' '吾輩《わがはい》は猫である。' >"$tmp/text.txt"

# Expected status, then the command's arguments.
while IFS='|' read -r want args; do
  [ -n "$want" ] || continue
  eval "set -- $args"
  "$zelk" "$@" >/dev/full 2>"$tmp/err"
  status=$?
  [ "$status" = "$want" ] || fail "zelk $args >/dev/full exited $status, not $want: $(cat "$tmp/err")"
  if [ "$want" = 1 ]; then
    grep -q '標準出力に書き込めません\|cannot write.*standard output' "$tmp/err" ||
      fail "zelk $args >/dev/full gives no reason: $(cat "$tmp/err")"
  fi
done <<EOF
1|--help
1|--version
1|layout --printer PDF
1|layout --help
1|show "$tmp/sheet.zelk"
1|show --help
1|write --printer PDF -o -
1|render --printer PDF -o - --format svg
1|ops --printer PDF
1|compose "$tmp/text.txt" --printer PDF --ops
1|compose "$tmp/text.txt" --printer PDF --count
1|print --help
0|print --printer PDF -o "$tmp/out.pdf"
0|write --printer PDF -o "$tmp/again.zelk"
EOF

# Every subcommand the help lists, also one added later: its own help on /dev/full.
subcommands=$("$zelk" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z]\+\) .*/\1/p')
[ "$(wc -w <<<"$subcommands")" -ge 7 ] || fail "the help lists only: $subcommands"
for sub in $subcommands; do
  "$zelk" "$sub" --help >/dev/full 2>"$tmp/err"
  status=$?
  [ "$status" = 1 ] && grep -q '標準出力に書き込めません' "$tmp/err" ||
    fail "zelk $sub --help >/dev/full exited $status: $(cat "$tmp/err")"
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "full_stdout_test: ok"
