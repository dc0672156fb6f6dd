#!/usr/bin/env bash
# Sets up the machine for the tests (scripts/setup-tests.sh), builds everything with the
# sanitizers and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-tests.sh"
build="${KARTOVAN_TEST_BUILD:-$root/build-test}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKARTOVAN_SANITIZE=ON -DKARTOVAN_TESTS=ON
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
