#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The world every test runs in: each run gets a new, empty home with its own
# configuration, cache, data, runtime and temporary folders; nothing one run leaves there
# is seen by the next; the folder is gone when the run ends, also when it is stopped;
# the command's exit status and standard input come through.
# Usage: test_world_check.sh RUN   (RUN: the world's run script, made by CMake)
set -uo pipefail
run=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
fail() {
  echo "FAIL: $*" >&2
  fails=$((fails + 1))
}

# A run that looks at its world and leaves files behind in every folder of it.
look='
  echo "$ZELK_WORLD"
  for v in HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_RUNTIME_DIR TMPDIR; do
    eval "d=\$$v"
    case $d in "$ZELK_WORLD"/*) ;; *) echo "outside: $v=$d" ;; esac
  done
  find "$ZELK_WORLD" -type f | sed "s/^/file: /"
  echo "[FileDialog]" >"$XDG_CONFIG_HOME/QtProject.conf"
  for d in "$HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"; do
    echo left >"$d/left-behind"
  done'
"$run" sh -c "$look" >"$work/first" || fail "the first run failed"
"$run" sh -c "$look" >"$work/second" || fail "the second run failed"
first=$(head -1 "$work/first")
second=$(head -1 "$work/second")
[ -n "$first" ] && [ -n "$second" ] && [ "$first" != "$second" ] ||
  fail "two runs share one world: '$first' and '$second'"
for f in first second; do
  [ "$(wc -l <"$work/$f")" = 1 ] || fail "the $f run's world was not its own and empty: $(tail -n +2 "$work/$f")"
done
[ ! -e "$first" ] && [ ! -e "$second" ] || fail "a world is left after its run"

# Exit status and standard input.
"$run" sh -c 'exit 3'
[ $? = 3 ] || fail "the exit status is not passed on"
[ "$(echo 漢字 | "$run" cat)" = 漢字 ] || fail "the standard input is not passed on"

# A run stopped by TERM stops its command and removes its world. The command tells its
# world and PID through a file; the wait for it is bounded.
"$run" sh -c 'echo "$ZELK_WORLD $$" >"$1.tmp" && mv "$1.tmp" "$1" && exec sleep 300' sh \
  "$work/stopped" &
runner=$!
for _ in $(seq 200); do
  [ -s "$work/stopped" ] && break
  sleep 0.05
done
read -r world pid <"$work/stopped" || fail "the stopped run never started"
kill -TERM "$runner"
wait "$runner"
rc=$?
[ "$rc" = 143 ] || fail "a stopped run exits with $rc, not 143"
[ -n "${world:-}" ] && [ ! -e "$world" ] || fail "a stopped run leaves its world: $world"
[ -n "${pid:-}" ] && ! kill -0 "$pid" 2>/dev/null || fail "a stopped run leaves its command running"

[ "$fails" = 0 ] && echo "the test world holds"
exit $((fails > 0))
