#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every libFuzzer target in $1 for $2 seconds, starting from its seed corpus.
# Fails on any crash, leak, timeout, oversized allocation or sanitizer report, and when
# there is no target at all. A failing input is kept in $1/artifacts/.
set -uo pipefail
dir=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$dir/artifacts"
mkdir -p "$artifacts"
status=0 targets=0
for target in "$dir"/*_fuzz; do
  [ -x "$target" ] || continue
  targets=$((targets + 1))
  name=$(basename "$target")
  work=$(mktemp -d)
  log="$work.log"
  [ -d "$root/tests/fuzz-corpus/$name" ] && cp -r "$root/tests/fuzz-corpus/$name/." "$work/"
  # A target may add libFuzzer flags of its own in fuzz/<name>.options, one line.
  extra=()
  [ -f "$root/fuzz/$name.options" ] && read -r -a extra <"$root/fuzz/$name.options"
  echo "== fuzzing $name for ${seconds}s ${extra[*]}"
  "$target" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "${extra[@]}" \
    >"$log" 2>&1
  rc=$?
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|Done [0-9]+ runs' "$log"
  if [ $rc -ne 0 ] ||
     grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|SUMMARY: UndefinedBehaviorSanitizer|runtime error' "$log"; then
    echo "fuzz: $name found a fault (exit status $rc); inputs in $artifacts" >&2
    tail -n 60 "$log" >&2
    status=1
  fi
  rm -rf "$work" "$log"
done
if [ $targets -eq 0 ]; then
  echo "fuzz: no fuzz targets in $dir" >&2
  exit 1
fi
exit $status
