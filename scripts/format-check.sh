#!/usr/bin/env bash
# Fails, naming the places, when a tracked C++ file is not as scripts/format.sh would leave it.
set -euo pipefail
source "$(dirname "$0")/format-files.sh"
if ! format_tracked --dry-run -Werror; then
  echo "format-check: files differ from .clang-format; run scripts/format.sh" >&2
  exit 1
fi
