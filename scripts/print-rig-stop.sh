#!/usr/bin/env bash
# Stops the printing rig that scripts/print-rig-start.sh started with the same
# KARTOVAN_PRINT_RIG_DIR: cupsd by its PID; removes the queue's cups-pdf settings and what the
# scheduler kept. The logs and the printed PDF files stay in the folder until the next start.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/rig-common.sh"
dir=${KARTOVAN_PRINT_RIG_DIR:-/tmp/kartovan-print-rig}
[ -d "$dir" ] || exit 0
dir=$(cd "$dir" && pwd)
status=0

pidfile="$dir/cupsd.pid"
if [ -f "$pidfile" ]; then
  pid=$(cat "$pidfile")
  program="" command=""
  if [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ]; then
    program=$(tr '\0' '\n' <"/proc/$pid/cmdline" | sed -n 1p)
    command=$(tr '\0' ' ' <"/proc/$pid/cmdline")
  fi
  # The PID must still name this rig's cupsd: a PID file may outlive its process.
  if [[ "$program" == *cupsd && "$command" == *" -c $dir/cupsd.conf "* ]]; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
      rig_alive "$pid" || break
      sleep 0.1
    done
    if rig_alive "$pid"; then
      echo "print-rig-stop: cupsd (pid $pid) did not end on TERM; killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
      status=1
    fi
  fi
  rm -f "$pidfile"
fi

if [ -f "$dir/queue" ]; then
  queue=$(cat "$dir/queue")
  # Only a name this rig made: the settings file lies outside the folder.
  [[ "$queue" =~ ^kartovan-pdf-[0-9a-f]{12}$ ]] && rm -f "/etc/cups/cups-pdf-$queue.conf"
  rm -f "$dir/queue"
fi
rm -rf "$dir/cups.sock" "$dir/spool" "$dir/cache" "$dir/state" "$dir/etc" "$dir/printcap"
exit $status
