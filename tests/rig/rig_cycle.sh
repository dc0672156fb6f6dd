#!/usr/bin/env bash
# The rig comes up and goes down cleanly twice in a row; two rigs run side by side, and stopping
# one leaves the other be; a rig left running in a folder gives way to the next start there.
#   rig_cycle.sh SCRIPTS-DIR TOOLS-DIR BASE
# The rigs live in BASE-a and BASE-b.
set -euo pipefail
scripts=$1
source "$scripts/rig-common.sh"
tools=$2
a="$3-a"
b="$3-b"

fail() {
  echo "$*" >&2
  exit 1
}
start() {
  local rc=0
  KARTOVAN_RIG_DIR=$1 bash "$scripts/rig-start.sh" --tools "$tools" "${@:2}" || rc=$?
  [ $rc -eq 0 ] || exit $rc
}
stop() {
  KARTOVAN_RIG_DIR=$1 bash "$scripts/rig-stop.sh" || fail "$1: rig-stop failed"
}
shows_card() {
  PCSCLITE_CSOCK_NAME="$1/pcscd.comm" "$tools/rig_probe" wait present "Virtual PCD 00 00" 5
}
pids_of() {
  echo "$(cat "$1/pcscd.pid") $(cat "$1/emulator.pid")"
}
# Every process of the rig has ended and the rig's files are gone.
check_gone() {
  local dir=$1 pids=$2 pid
  for pid in $pids; do
    if rig_alive "$pid"; then fail "$dir: pid $pid still runs after rig-stop"; fi
  done
  for file in pcscd.pid emulator.pid vpcd.port pcscd.comm run; do
    if [ -e "$dir/$file" ]; then fail "$dir: rig-stop left $file behind"; fi
  done
  # A daemon of the rig names its folder in its arguments.
  for cmdline in /proc/[0-9]*/cmdline; do
    local command
    command=$(tr '\0' ' ' <"$cmdline" 2>/dev/null) || continue
    if [[ "${command%% *}" == *pcscd && "$command" == *" $dir/"* ]]; then
      fail "$dir: a daemon of the rig still runs: $command"
    fi
  done
}
# Where the daemon may have a mount namespace, its pid file is in the rig's folder, not in /run.
check_pid_file() {
  local dir=$1 pid
  pid=$(cat "$dir/pcscd.pid")
  grep -q 'no mount namespace' "$dir/pcscd.log" && return 0
  [ "$(tr -d '\0\n' <"$dir/run/pcscd.pid")" = "$pid" ] || fail "$dir: pcscd wrote no pid file of its own"
  if [ -e /run/pcscd/pcscd.pid ] && [ "$(tr -d '\0\n' </run/pcscd/pcscd.pid)" = "$pid" ]; then
    fail "$dir: pcscd wrote /run/pcscd/pcscd.pid"
  fi
}

for round in 1 2; do
  start "$a"
  pids=$(pids_of "$a")
  shows_card "$a"
  check_pid_file "$a"
  stop "$a"
  check_gone "$a" "$pids"
  echo "round $round: up and down"
done

start "$a" --card smallest
start "$b"
[ "$(cat "$a/vpcd.port")" != "$(cat "$b/vpcd.port")" ] || fail "both rigs took the same vpcd ports"
shows_card "$a"
shows_card "$b"
pids_a=$(pids_of "$a")
stop "$a"
check_gone "$a" "$pids_a"
shows_card "$b"
echo "side by side: stopping one rig leaves the other up"

pids_b=$(pids_of "$b")
start "$b"
for pid in $pids_b; do
  if rig_alive "$pid"; then fail "$b: pid $pid of the rig left running was not stopped"; fi
done
shows_card "$b"
pids_b=$(pids_of "$b")
stop "$b"
check_gone "$b" "$pids_b"
echo "a rig left running gives way to the next start in its folder"
