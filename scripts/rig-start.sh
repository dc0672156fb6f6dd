#!/usr/bin/env bash
# Starts the card rig in the background: pcscd with the vpcd virtual readers and the emulated
# driver card in "Virtual PCD 00 00"; returns once the reader shows the card.
#   scripts/rig-start.sh [--card smallest|largest] [--emulator PATH --probe PATH]
# Without the two paths the emulator and the probe are built in build-test/.
# One rig runs on the machine at a time: its processes hold /tmp/kartovan-rig.lock for as long as
# they live, so a second start waits for the first rig to stop. Stop it with scripts/rig-stop.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
state="${KARTOVAN_RIG_STATE:-/tmp/kartovan-rig}"
lock=/tmp/kartovan-rig.lock
lock_wait="${KARTOVAN_RIG_LOCK_WAIT:-900}"
card=largest
emulator=""
probe=""
while [ $# -gt 0 ]; do
  case "$1" in
    --card) card="$2"; shift 2 ;;
    --emulator) emulator="$2"; shift 2 ;;
    --probe) probe="$2"; shift 2 ;;
    *) echo "rig-start: unknown argument $1" >&2; exit 2 ;;
  esac
done

# Outside CI a machine without the daemon skips the rig tests; in CI that is a failure.
if ! command -v pcscd >/dev/null || [ ! -e /etc/reader.conf.d/vpcd ]; then
  echo "rig-start: pcscd or vsmartcard-vpcd is not installed (scripts/setup.sh installs them)" >&2
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi

if [ -z "$emulator" ] || [ -z "$probe" ]; then
  build="$root/build-test"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARTOVAN_SANITIZE=ON -DKARTOVAN_TESTS=ON >/dev/null
  cmake --build "$build" --target card_emulator rig_probe >/dev/null
  emulator="$build/tests/rig/card_emulator"
  probe="$build/tests/rig/rig_probe"
fi

exec 9>"$lock"
if ! flock -w "$lock_wait" 9; then
  echo "rig-start: another rig still holds $lock after ${lock_wait} s" >&2
  exit 1
fi
# With the lock ours, every earlier rig has ended; a pcscd still running is not ours.
if [ -e /run/pcscd/pcscd.pid ]; then
  other=$(cat /run/pcscd/pcscd.pid 2>/dev/null || true)
  if [ -n "$other" ] && kill -0 "$other" 2>/dev/null; then
    echo "rig-start: a pcscd not started by the rig is running (pid $other); stop it first" >&2
    exit 1
  fi
fi
mkdir -p "$state"
rm -f "$state/pcscd.pid" "$state/emulator.pid"

# Both run in sessions of their own, so a test runner ending its process group leaves them be;
# they inherit the lock descriptor and hold the lock until they end.
setsid pcscd --foreground </dev/null >"$state/pcscd.log" 2>&1 &
echo $! >"$state/pcscd.pid"
setsid "$emulator" --port 35963 --card "$card" </dev/null >"$state/emulator.log" 2>&1 &
echo $! >"$state/emulator.pid"

if ! "$probe" wait present "Virtual PCD 00 00" 30 9>&-; then
  echo "rig-start: the card did not show up; logs in $state" >&2
  "$root/scripts/rig-stop.sh" 9>&-
  exit 1
fi
echo "rig up: pcscd pid $(cat "$state/pcscd.pid"), card emulator pid $(cat "$state/emulator.pid")"
