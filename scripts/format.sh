#!/usr/bin/env bash
# Formats every tracked C++ file in place with the root's .clang-format; run it before committing.
set -euo pipefail
source "$(dirname "$0")/format-files.sh"
format_tracked -i
