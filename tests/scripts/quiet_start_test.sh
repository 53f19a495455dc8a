#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts say nothing they need not: no QStandardPaths warning without XDG_RUNTIME_DIR or
# with one that is not ours; and the window without a display exits 1 with one line in
# Japanese and English naming DISPLAY and WAYLAND_DISPLAY and the subcommands.
# Usage: quiet_start_test.sh ZELK_BINARY TEST_DATA_DIR
set -uo pipefail
zelk=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Without XDG_RUNTIME_DIR, and with one open to everyone: every command is quiet.
mkdir -m 777 "$work/open"
for runtime in unset "$work/open" "$work/missing"; do
  for args in "--version" "layout" "render -o $work/x.png"; do
    if [ "$runtime" = unset ]; then
      env -u XDG_RUNTIME_DIR "$zelk" $args >/dev/null 2>"$work/err"
    else
      XDG_RUNTIME_DIR=$runtime "$zelk" $args >/dev/null 2>"$work/err"
    fi
    rc=$?
    [ $rc = 0 ] || fail "zelk $args (XDG_RUNTIME_DIR $runtime) exited $rc: $(cat "$work/err")"
    [ ! -s "$work/err" ] || fail "zelk $args (XDG_RUNTIME_DIR $runtime) said: $(cat "$work/err")"
  done
done
[ ! -e "$work/missing" ] || fail "a runtime folder named but missing was made"

# The window without a display: one line, exit status 1, and no core dump.
for file in "" "$work/new.zelk"; do
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$zelk" $file >"$work/out" 2>"$work/err"
  rc=$?
  [ $rc = 1 ] || fail "the window without a display exited $rc: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "it wrote to standard output: $(cat "$work/out")"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "not one line: $(cat "$work/err")"
  for word in DISPLAY WAYLAND_DISPLAY 'zelk --help' '画面に接続できません' 'cannot connect to a display'; do
    grep -qF -- "$word" "$work/err" || fail "the message lacks '$word': $(cat "$work/err")"
  done
done
# The subcommands still work there.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$zelk" layout --printer PDF >/dev/null \
  2>"$work/err" || fail "layout --printer PDF without a display failed: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "layout --printer PDF without a display said: $(cat "$work/err")"
echo PASS
