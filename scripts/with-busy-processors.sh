#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command while K processes keep the processors busy, as on a loaded machine.
# The busy processes are this script's own children, stopped by their PIDs when the
# command ends (also when it fails or the script is interrupted).
# Usage: with-busy-processors.sh K COMMAND [ARGS...]   The exit status is the command's.
set -uo pipefail
[ $# -ge 2 ] && [[ $1 =~ ^[0-9]+$ ]] || {
  echo "usage: with-busy-processors.sh K COMMAND [ARGS...]" >&2
  exit 2
}
count=$1
shift
spinners=()
stop_spinners() {
  for pid in "${spinners[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${spinners[@]}"; do wait "$pid" 2>/dev/null; done
  spinners=()
}
trap stop_spinners EXIT
trap 'exit 130' INT TERM
for ((i = 0; i < count; i++)); do
  (while :; do :; done) &
  spinners+=($!)
done
"$@"
