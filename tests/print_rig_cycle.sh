#!/usr/bin/env bash
# The printing rig comes up and goes down cleanly twice in a row; two rigs run side by side, each
# with its own queue, and stopping one leaves the other be; a rig left running in a folder gives
# way to the next start there. Nothing of a stopped rig stays in /etc/cups.
#   print_rig_cycle.sh SCRIPTS-DIR BASE
# The rigs live in BASE-a and BASE-b.
set -euo pipefail
scripts=$1
source "$scripts/rig-common.sh"
a="$2-a"
b="$2-b"

fail() {
  echo "$*" >&2
  exit 1
}
start() {
  local rc=0
  KARTOVAN_PRINT_RIG_DIR=$1 bash "$scripts/print-rig-start.sh" || rc=$?
  [ $rc -eq 0 ] || exit $rc
}
stop() {
  KARTOVAN_PRINT_RIG_DIR=$1 bash "$scripts/print-rig-stop.sh" || fail "$1: print-rig-stop failed"
}
# The rig's scheduler answers on its socket with its queue enabled.
shows_queue() {
  CUPS_SERVER="$1/cups.sock" timeout 10 lpstat -p "$(cat "$1/queue")" | grep -q enabled ||
    fail "$1: the queue does not answer"
}
check_gone() {
  local dir=$1 pid=$2 queue=$3
  if rig_alive "$pid"; then fail "$dir: cupsd (pid $pid) still runs after print-rig-stop"; fi
  for file in cupsd.pid cups.sock queue spool; do
    if [ -e "$dir/$file" ]; then fail "$dir: print-rig-stop left $file behind"; fi
  done
  if [ -e "/etc/cups/cups-pdf-$queue.conf" ]; then fail "$dir: the queue's settings stayed in /etc/cups"; fi
}

for round in 1 2; do
  start "$a"
  pid=$(cat "$a/cupsd.pid")
  queue=$(cat "$a/queue")
  shows_queue "$a"
  stop "$a"
  check_gone "$a" "$pid" "$queue"
  echo "round $round: up and down"
done

start "$a"
start "$b"
[ "$(cat "$a/queue")" != "$(cat "$b/queue")" ] || fail "both rigs took the same queue name"
shows_queue "$a"
shows_queue "$b"
pid_a=$(cat "$a/cupsd.pid")
queue_a=$(cat "$a/queue")
stop "$a"
check_gone "$a" "$pid_a" "$queue_a"
shows_queue "$b"
echo "side by side: stopping one rig leaves the other up"

pid_b=$(cat "$b/cupsd.pid")
start "$b"
if rig_alive "$pid_b"; then fail "$b: the cupsd left running was not stopped"; fi
shows_queue "$b"
pid_b=$(cat "$b/cupsd.pid")
queue_b=$(cat "$b/queue")
stop "$b"
check_gone "$b" "$pid_b" "$queue_b"
echo "a rig left running gives way to the next start in its folder"
