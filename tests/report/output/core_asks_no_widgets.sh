#!/usr/bin/env bash
# No object of the output core asks for a symbol of Qt Widgets or PrintSupport: the symbols its
# objects leave undefined (nm -u) are held against those the two libraries define. The windows'
# library is held against them too and must ask for some, or the check itself is broken.
#   core_asks_no_widgets.sh CORE-ARCHIVE WINDOWS-ARCHIVE QT-LIBRARY...
set -euo pipefail
core=$1
windows=$2
shift 2

fail() {
  echo "$*" >&2
  exit 1
}
# Mangled names, without the symbol version: exact, and demangled only to be shown.
defined=$(for library in "$@"; do nm -D --defined-only "$library" | awk '{print $3}' | sed 's/@.*//'; done | sort -u)
[ "$(wc -l <<<"$defined")" -gt 1000 ] || fail "too few symbols read from $*"
asked() { nm -u "$1" | awk '$1 == "U" {print $2}' | sort -u; }

from_windows=$(comm -12 <(asked "$windows") <(echo "$defined"))
[ -n "$from_windows" ] || fail "the windows' library asks for nothing of $*: the check sees nothing"

from_core=$(comm -12 <(asked "$core") <(echo "$defined"))
if [ -n "$from_core" ]; then
  echo "The output core asks for symbols of $*:" >&2
  c++filt <<<"$from_core" >&2
  # Which objects ask, by name.
  nm -A -u "$core" | grep -F -f <(echo "$from_core") | awk '{print $1}' | sort -u >&2
  exit 1
fi
echo "The output core asks for none of the $(wc -l <<<"$defined") symbols of $*."
