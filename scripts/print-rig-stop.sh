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

rig_stop_pid cupsd "$dir/cupsd.pid" cupsd "-c $dir/cupsd.conf" || status=1

if [ -f "$dir/queue" ]; then
  queue=$(cat "$dir/queue")
  # Only a name this rig made: the settings file lies outside the folder.
  [[ "$queue" =~ ^kartovan-pdf-[0-9a-f]{12}$ ]] && rm -f "/etc/cups/cups-pdf-$queue.conf"
  rm -f "$dir/queue"
fi
rm -rf "$dir/cups.sock" "$dir/spool" "$dir/cache" "$dir/state" "$dir/etc" "$dir/printcap"
exit $status
