# Shared by the rig scripts (sourced).
# True while the process runs. A killed rig process may stay a zombie for a while where nothing
# reaps orphans promptly, and kill -0 still succeeds for a zombie.
rig_alive() {
  local state
  state=$(sed -E 's/^.*\) ([A-Za-z]).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Ends the process whose PID the file `$2` holds and removes the file; `$1` names it in messages.
# The PID must still name the program `$3`, started with the argument `$4`: a PID file may outlive
# its process and the PID be taken by another. TERM first, KILL after ten seconds. Sets
# rig_stopped to yes when it ended a process; returns 1 when it had to kill it.
rig_stop_pid() {
  local name=$1 pidfile=$2 program=$3 mark=$4 pid program_run="" command="" status=0
  rig_stopped=""
  [ -f "$pidfile" ] || return 0
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
      echo "$(basename "$0" .sh): $name (pid $pid) did not end on TERM; killing it" >&2
      kill -KILL "$pid" 2>/dev/null || true
      status=1
    fi
    rig_stopped=yes
  fi
  rm -f "$pidfile"
  return $status
}
