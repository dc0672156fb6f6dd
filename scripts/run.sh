#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it; an optional card file may follow.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKARTOVAN_TESTS=OFF
cmake --build "$root/build" --target kartovan
exec "$root/build/app/kartovan" "$@"
