#!/usr/bin/env bash
# The rig comes up and goes down cleanly twice in a row.
#   rig_cycle.sh SCRIPTS-DIR --emulator PATH --probe PATH
set -euo pipefail
scripts=$1
shift
probe=$4
state="${KARTOVAN_RIG_STATE:-/tmp/kartovan-rig}"
for round in 1 2; do
  rc=0
  bash "$scripts/rig-start.sh" "$@" || rc=$?
  [ $rc -eq 0 ] || exit $rc
  pcscd_pid=$(cat "$state/pcscd.pid")
  emulator_pid=$(cat "$state/emulator.pid")
  "$probe" wait present "Virtual PCD 00 00" 5
  bash "$scripts/rig-stop.sh"
  for pid in "$pcscd_pid" "$emulator_pid"; do
    if kill -0 "$pid" 2>/dev/null; then
      echo "round $round: pid $pid still runs after rig-stop" >&2
      exit 1
    fi
  done
  if [ -e /run/pcscd/pcscd.comm ] || [ -e "$state/pcscd.pid" ] || [ -e "$state/emulator.pid" ]; then
    echo "round $round: rig-stop left files behind" >&2
    exit 1
  fi
  if ! flock -n /tmp/kartovan-rig.lock true; then
    echo "round $round: the rig lock is still held after rig-stop" >&2
    exit 1
  fi
  echo "round $round: up and down"
done
