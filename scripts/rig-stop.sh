#!/usr/bin/env bash
# Stops the card rig started by scripts/rig-start.sh: the emulator and pcscd, by their PIDs.
set -euo pipefail
state="${KARTOVAN_RIG_STATE:-/tmp/kartovan-rig}"
status=0

# Ends one process the rig started, after checking the PID still names that program.
stop() {
  local name=$1 program=$2 pidfile="$state/$1.pid"
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  if [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] && tr '\0' '\n' <"/proc/$pid/cmdline" | head -1 | grep -q "$program\$"; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      echo "rig-stop: $name (pid $pid) did not end on TERM; killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
      status=1
    fi
  fi
  rm -f "$pidfile"
}

stop pcscd pcscd
stop emulator card_emulator
for _ in $(seq 50); do
  [ -e /run/pcscd/pcscd.comm ] || break
  sleep 0.1
done
if [ -e /run/pcscd/pcscd.comm ]; then
  echo "rig-stop: /run/pcscd/pcscd.comm is still there" >&2
  status=1
fi
exit $status
