#!/usr/bin/env bash
# Starts the card rig in the background: pcscd with the vpcd virtual readers and the emulated
# driver card in "Virtual PCD 00 00"; returns once the reader shows the card.
#   scripts/rig-start.sh [--card smallest|largest] [--tools DIR]
# DIR holds card_emulator, rig_probe and rig_pcscd; without it they are built in build-test/.
#
# Without KARTOVAN_RIG_DIR the rig is the machine's PC/SC service (/run/pcscd/pcscd.comm, vpcd
# on port 35963), so the program and every PC/SC tool see it; its files go to /tmp/kartovan-rig.
# With KARTOVAN_RIG_DIR the rig is private to that folder: pcscd listens on DIR/pcscd.comm (give
# it to clients as PCSCLITE_CSOCK_NAME) and vpcd on a free pair of ports written to DIR/vpcd.port,
# so rigs of several test runs run side by side and never wait for each other.
# A rig still running in the same folder (its test run died) is stopped first.
# Stop it with scripts/rig-stop.sh, with the same KARTOVAN_RIG_DIR.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/rig-common.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
card=largest
tools=""
while [ $# -gt 0 ]; do
  case "$1" in
    --card) card="$2"; shift 2 ;;
    --tools) tools="$2"; shift 2 ;;
    *) echo "rig-start: unknown argument $1" >&2; exit 2 ;;
  esac
done

# Outside CI a machine without the daemon skips the rig tests; in CI that is a failure.
driver=$(awk '$1 == "LIBPATH" { print $2 }' /etc/reader.conf.d/vpcd 2>/dev/null || true)
if ! command -v pcscd >/dev/null || [ -z "$driver" ] || [ ! -e "$driver" ]; then
  echo "rig-start: pcscd or vsmartcard-vpcd is not installed (scripts/setup-tests.sh installs them)" >&2
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi

if [ -z "$tools" ]; then
  build="$root/build-test"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARTOVAN_SANITIZE=ON -DKARTOVAN_TESTS=ON >/dev/null
  cmake --build "$build" --target card_emulator rig_probe rig_pcscd >/dev/null
  tools="$build/tests/rig"
fi

dir=${KARTOVAN_RIG_DIR:-/tmp/kartovan-rig}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if [ -n "${KARTOVAN_RIG_DIR:-}" ]; then
  socket="$dir/pcscd.comm"
else
  socket=/run/pcscd/pcscd.comm
  mkdir -p /run/pcscd
fi
if [ -f "$dir/pcscd.pid" ] || [ -f "$dir/emulator.pid" ]; then
  echo "rig-start: stopping the rig left running in $dir"
  KARTOVAN_RIG_DIR="${KARTOVAN_RIG_DIR:+$dir}" "$root/scripts/rig-stop.sh" || true
fi

# True when something listens on the TCP port of the loopback.
listening() {
  timeout 2 bash -c 'exec 3<>"/dev/tcp/127.0.0.1/$0"' "$1" 2>/dev/null
}

# A private rig takes the first pair of ports no other rig has locked and nothing listens on.
# pcscd inherits the lock and holds it for as long as it runs, so the pair comes free by itself
# even when the run that started the rig dies.
lock_fd=""
if [ -n "${KARTOVAN_RIG_DIR:-}" ]; then
  port=""
  for candidate in $(seq 31000 2 31398); do
    exec {lock_fd}>>"/tmp/kartovan-vpcd-$candidate.lock" 2>/dev/null || continue
    if flock -n "$lock_fd" && ! listening "$candidate" && ! listening $((candidate + 1)); then
      port=$candidate
      break
    fi
    exec {lock_fd}>&-
  done
  if [ -z "$port" ]; then
    echo "rig-start: no free pair of vpcd ports in 31000-31399" >&2
    exit 1
  fi
  run_dir="$dir/run"
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  run_args=(--run-dir "$run_dir")
else
  port=35963
  if listening $port || listening $((port + 1)); then
    echo "rig-start: ports $port/$((port + 1)) are in use (another pcscd with vpcd readers?)" >&2
    exit 1
  fi
  run_args=()
fi

mkdir -p "$dir/reader.conf.d"
cat >"$dir/reader.conf.d/vpcd" <<EOF
FRIENDLYNAME "Virtual PCD"
DEVICENAME   /dev/null:$port
LIBPATH      $driver
CHANNELID    $port
EOF
echo "$port" >"$dir/vpcd.port"

# Both run in sessions of their own, so a test runner ending its process group leaves them be.
setsid "$tools/rig_pcscd" "$socket" "${run_args[@]}" -- pcscd --foreground -c "$dir/reader.conf.d" \
  </dev/null >"$dir/pcscd.log" 2>&1 &
echo $! >"$dir/pcscd.pid"
[ -n "$lock_fd" ] && exec {lock_fd}>&-
setsid "$tools/card_emulator" --port "$port" --card "$card" </dev/null >"$dir/emulator.log" 2>&1 &
echo $! >"$dir/emulator.pid"

failed() {
  echo "rig-start: $1; logs in $dir" >&2
  tail -n 5 "$dir/pcscd.log" "$dir/emulator.log" >&2 || true
  KARTOVAN_RIG_DIR="${KARTOVAN_RIG_DIR:+$dir}" "$root/scripts/rig-stop.sh" >&2 || true
  exit 1
}
# Short looks, so a daemon that ends at once is reported at once.
for _ in $(seq 20); do
  rig_alive "$(cat "$dir/pcscd.pid")" || failed "pcscd ended"
  rig_alive "$(cat "$dir/emulator.pid")" || failed "the card emulator ended"
  if PCSCLITE_CSOCK_NAME="$socket" "$tools/rig_probe" wait present "Virtual PCD 00 00" 1 2>/dev/null; then
    echo "rig up: pcscd pid $(cat "$dir/pcscd.pid") on $socket, vpcd ports $port/$((port + 1)), card emulator pid $(cat "$dir/emulator.pid")"
    exit 0
  fi
done
failed "the card did not show up within 20 s"
