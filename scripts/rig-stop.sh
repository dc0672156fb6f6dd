#!/usr/bin/env bash
# Stops the card rig that scripts/rig-start.sh started with the same KARTOVAN_RIG_DIR: pcscd and
# the card emulator, by their PIDs, and clears what the rig left in its folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/rig-common.sh"
dir=${KARTOVAN_RIG_DIR:-/tmp/kartovan-rig}
[ -d "$dir" ] || exit 0
dir=$(cd "$dir" && pwd)
port=$(cat "$dir/vpcd.port" 2>/dev/null || echo none)
status=0
stopped=""

# Ends one process of this rig. The PID must still name the program, started with this rig's
# arguments: a PID file may outlive its process and the PID be taken by another.
stop() {
  local name=$1 program=$2 mark=$3 pidfile="$dir/$1.pid"
  [ -f "$pidfile" ] || return 0
  local pid program_run="" command=""
  pid=$(cat "$pidfile")
  if [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ]; then
    program_run=$(tr '\0' '\n' <"/proc/$pid/cmdline" | sed -n 1p)
    command=$(tr '\0' ' ' <"/proc/$pid/cmdline")
  fi
  if [[ "$program_run" == *"$program" && "$command" == *" $mark "* ]]; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
      rig_alive "$pid" || break
      sleep 0.1
    done
    if rig_alive "$pid"; then
      echo "rig-stop: $name (pid $pid) did not end on TERM; killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
      status=1
    fi
    stopped="$stopped $name"
  fi
  rm -f "$pidfile"
}

stop pcscd pcscd "-c $dir/reader.conf.d"
stop emulator card_emulator "--port $port"
rm -f "$dir/vpcd.port"
if [ -n "${KARTOVAN_RIG_DIR:-}" ]; then
  # pcscd leaves a handed-over socket in place.
  rm -rf "$dir/pcscd.comm" "$dir/run"
elif [[ "$stopped" == *pcscd* ]]; then
  rm -f /run/pcscd/pcscd.comm
fi
exit $status
