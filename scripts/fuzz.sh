#!/usr/bin/env bash
# Runs every libFuzzer target in $1 for $2 seconds, starting from its seed corpus.
# Fails on any crash, leak or timeout.
set -euo pipefail
dir=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$dir"/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  cp -r "$root/tests/fuzz-corpus/$name/." "$work/" 2>/dev/null || true
  echo "== fuzzing $name for ${seconds}s"
  if ! "$target" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -print_final_stats=1 2>&1 | tee "$work.log" | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done'; then
    :
  fi
  if grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|SUMMARY: UndefinedBehaviorSanitizer|runtime error' "$work.log"; then
    echo "fuzz: $name found a fault" >&2
    tail -n 60 "$work.log" >&2
    status=1
  fi
  rm -rf "$work" "$work.log"
done
exit $status
