# Shared by the rig scripts (sourced).
# True while the process runs. A killed rig process may stay a zombie for a while where nothing
# reaps orphans promptly, and kill -0 still succeeds for a zombie.
rig_alive() {
  local state
  state=$(sed -E 's/^.*\) ([A-Za-z]).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}
