#!/usr/bin/env bash
# Starts the printing rig in the background: a private cupsd listening only on a socket in the
# rig's folder, with one cups-pdf queue that writes what it prints as PDF files into the folder.
#   KARTOVAN_PRINT_RIG_DIR=DIR scripts/print-rig-start.sh
# Without KARTOVAN_PRINT_RIG_DIR the folder is /tmp/kartovan-print-rig.
# Clients reach it with CUPS_SERVER=DIR/cups.sock; the queue's name is in DIR/queue, its PDF files
# land in DIR/out. Each folder has a queue of its own, so rigs of several builds run side by side.
# A rig still running in the same folder (its test run died) is stopped first.
# Stop it with scripts/print-rig-stop.sh, with the same KARTOVAN_PRINT_RIG_DIR.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/rig-common.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd

# Outside CI a machine without the packages skips the printing tests; in CI that is a failure.
skip() {
  echo "print-rig-start: $1" >&2
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
}
command -v cupsd >/dev/null && command -v lpadmin >/dev/null && [ -e /usr/lib/cups/backend/cups-pdf ] &&
  [ -e "$ppd" ] || skip "cups-daemon, cups-client or printer-driver-cups-pdf is not installed (scripts/setup-tests.sh installs them)"
# The cups-pdf backend runs only for a cupsd started as root, and its queue's settings live in
# /etc/cups.
[ "$(id -u)" -eq 0 ] || skip "the printing rig needs root"

dir=${KARTOVAN_PRINT_RIG_DIR:-/tmp/kartovan-print-rig}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if [ -f "$dir/cupsd.pid" ]; then
  echo "print-rig-start: stopping the rig left running in $dir"
  KARTOVAN_PRINT_RIG_DIR="$dir" "$root/scripts/print-rig-stop.sh" || true
fi

queue="kartovan-pdf-$(printf '%s' "$dir" | md5sum | cut -c1-12)"
socket="$dir/cups.sock"
rm -rf "$dir/etc" "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/out" "$socket"
mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out"
# cupsd refuses to run its filters as root: they run as lp, which must reach these folders.
chown -R lp:lp "$dir/spool" "$dir/cache" "$dir/state" "$dir/log"
chmod 0755 "$dir"

cat >"$dir/cupsd.conf" <<EOF
LogLevel info
Listen $socket
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$dir/cups-files.conf" <<EOF
User lp
Group lp
SystemGroup root
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
EOF
# cups-pdf reads the settings of the queue named in its device address from /etc/cups.
cat >"/etc/cups/cups-pdf-$queue.conf" <<EOF
Out $dir/out
AnonDirName $dir/out
Log $dir/log
Grp lp
EOF
echo "$queue" >"$dir/queue"

# In a session of its own, so a test runner ending its process group leaves it be.
setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

failed() {
  echo "print-rig-start: $1; logs in $dir/log" >&2
  tail -n 5 "$dir/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
  KARTOVAN_PRINT_RIG_DIR="$dir" "$root/scripts/print-rig-stop.sh" >&2 || true
  exit 1
}
export CUPS_SERVER="$socket"
up=""
for _ in $(seq 100); do
  rig_alive "$(cat "$dir/cupsd.pid")" || failed "cupsd ended"
  if [ -S "$socket" ] && lpstat -r 2>/dev/null | grep -q 'is running'; then
    up=yes
    break
  fi
  sleep 0.2
done
[ -n "$up" ] || failed "cupsd did not answer within 20 s"
lpadmin -p "$queue" -v "cups-pdf:/$queue" -P "$ppd" -E 2>"$dir/lpadmin.out" ||
  failed "lpadmin did not add the queue: $(cat "$dir/lpadmin.out")"
lpstat -p "$queue" 2>/dev/null | grep -q enabled || failed "the queue is not enabled"
echo "print rig up: cupsd pid $(cat "$dir/cupsd.pid") on $socket, queue $queue, PDF files in $dir/out"
