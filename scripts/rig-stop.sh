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

# Ends one process of this rig, by its PID.
stop() {
  rig_stop_pid "$1" "$dir/$1.pid" "$2" "$3" || status=1
  [ -z "$rig_stopped" ] || stopped="$stopped $1"
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
