#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every test program N times in a row and prints a table of test → runs → failures,
# for anyone who suspects a test of passing only sometimes.
#
# Usage: scripts/stress-tests.sh [options] N
#   -b DIR    the build folder (default: build; `make test` builds it)
#   -R REGEX  only the programs whose name matches
#   --busy K  keep K processes spinning on the processors while the tests run
#             (scripts/with-busy-processors.sh), to try the tests on a loaded machine
#
# A "program" is what CTest runs, with the GoogleTest programs run whole rather than one
# case at a time, each run in the same world CTest gives it (the command, folder and
# environment CTest has for it). A run fails when it exits with anything but 0 or the
# test's skip status, or when it runs past the test's time limit. The output of each
# failed run is kept in DIR/stress/ and named in the table.
set -euo pipefail

build=build
regex=
busy=0
while [ $# -gt 0 ]; do
  case $1 in
    -b) build=$2; shift 2 ;;
    -R) regex=$2; shift 2 ;;
    --busy) busy=$2; shift 2 ;;
    -h|--help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "stress-tests: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# = 1 ] && [[ $1 =~ ^[1-9][0-9]*$ ]] || { echo "usage: stress-tests.sh [-b DIR] [-R REGEX] [--busy K] N" >&2; exit 2; }
runs=$1
[[ $busy =~ ^[0-9]+$ ]] || { echo "stress-tests: --busy takes a number" >&2; exit 2; }
if [ "$busy" -gt 0 ]; then
  exec bash "$(dirname "$0")/with-busy-processors.sh" "$busy" \
    bash "$0" -b "$build" ${regex:+-R "$regex"} "$runs"
fi
for tool in ctest jq timeout; do
  command -v "$tool" >/dev/null || { echo "stress-tests: $tool is not installed" >&2; exit 1; }
done
[ -f "$build/CTestTestfile.cmake" ] || { echo "stress-tests: no tests in $build (run make test first)" >&2; exit 1; }

logs=$build/stress
mkdir -p "$logs"
list=$(mktemp)
trap 'rm -f "$list"' EXIT
trap 'exit 130' INT TERM

# One line a program: name, then the JSON of its command, folder, environment, skip
# status and time limit. A GoogleTest case's command loses its filter, and its program
# is named after the executable; the programs are listed once each, in CTest's order.
ctest --test-dir "$build" --show-only=json-v1 | jq -r '
  def prop($n): ((.properties // []) | map(select(.name == $n)) | .[0].value);
  [.tests[] | select(.command != null)
   | (.command | map(select(startswith("--gtest_filter=") | not))) as $cmd
   | (if (.command | any(startswith("--gtest_filter="))) then
        ($cmd | map(select(startswith("/") and (test("/world/run$") | not))) | .[0]
         | split("/") | last)
      else .name end) as $name
   | {name: $name, cmd: $cmd, dir: (prop("WORKING_DIRECTORY") // "."),
      env: (prop("ENVIRONMENT") // []), skip: (prop("SKIP_RETURN_CODE") // -1),
      limit: (prop("TIMEOUT") // 600)}]
  | unique_by(.name) as $once
  | [.[] | .name] as $order
  | ($order | reduce .[] as $n ([]; if index([$n]) then . else . + [$n] end)) as $names
  | $names[] as $n | $once[] | select(.name == $n) | @json' >"$list"

printf '%-44s %5s %9s %8s  %s\n' test runs failures skipped "failed runs' output"
total_failures=0
programs=0
while IFS= read -r entry; do
  name=$(jq -r .name <<<"$entry")
  [ -z "$regex" ] || [[ $name =~ $regex ]] || continue
  programs=$((programs + 1))
  dir=$(jq -r .dir <<<"$entry")
  skip=$(jq -r .skip <<<"$entry")
  limit=$(jq -r .limit <<<"$entry")
  mapfile -t cmd < <(jq -r '.cmd[]' <<<"$entry")
  mapfile -t env < <(jq -r '.env[]' <<<"$entry")
  failures=0 skipped=0 kept=
  for ((run = 1; run <= runs; run++)); do
    log=$logs/$name.$run.log
    rc=0
    (cd "$dir" && env ${env[@]+"${env[@]}"} timeout -k 10 "$limit" "${cmd[@]}") \
      </dev/null >"$log" 2>&1 || rc=$?
    if [ "$rc" = 0 ]; then
      rm -f "$log"
    elif [ "$rc" = "$skip" ]; then
      skipped=$((skipped + 1))
      rm -f "$log"
    else
      failures=$((failures + 1))
      kept="$kept $log"
    fi
  done
  total_failures=$((total_failures + failures))
  printf '%-44s %5d %9d %8d %s\n' "$name" "$runs" "$failures" "$skipped" "$kept"
done <"$list"
echo "$programs programs, $runs runs each, $total_failures failed runs"
[ "$total_failures" = 0 ]
