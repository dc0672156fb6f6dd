#!/usr/bin/env bash
# Runs every test executable of a built tree whole, in shards and shuffled, to find tests that
# pass only in the order or the process ctest gives them (ctest runs each test alone):
#   scripts/test-orders.sh [BUILD] [--shards N] [--seeds "1 2 3"] [--jobs J]
# BUILD defaults to build-test. Each executable runs with the environment and filter its tests
# have in ctest, once per shard (GTEST_TOTAL_SHARDS=N, GTEST_SHARD_INDEX=0..N-1) and once per
# seed (--gtest_shuffle --gtest_random_seed=S). Executables whose tests need the card rig or the
# printing rig run one at a time, with the rig brought up by its own ctest fixture test.
# About six minutes on a Debug tree, longer under the sanitizers: not part of CI.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-test"
shards=3
seeds="1 2 3"
jobs=4
while [ $# -gt 0 ]; do
  case "$1" in
    --shards) shards="$2"; shift 2 ;;
    --seeds) seeds="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    -*) echo "test-orders: unknown argument $1" >&2; exit 2 ;;
    *) build=$(cd "$1" && pwd); shift ;;
  esac
done
cd "$build"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
logs=$(mktemp -d "${TMPDIR:-/tmp}/test-orders.XXXXXX")

# One line per group of tests that share executable, arguments, environment, folder and rig,
# its fields parted by the unit separator (a tab is blank space to read, and the rig may be
# empty): rig, folder, environment (JSON array), executable and other arguments (JSON array),
# filter.
sep=$'\x1f'
ctest --show-only=json-v1 | jq -r '
  .tests[]
  | select(any(.command[]?; startswith("--gtest_filter=")))
  | (reduce (.properties // [])[] as $p ({}; .[$p.name] = $p.value)) as $props
  | {exe: ([.command[] | select(startswith("--gtest_filter=") | not)] | tojson),
     filter: (.command[] | select(startswith("--gtest_filter=")) | ltrimstr("--gtest_filter=")),
     env: ($props.ENVIRONMENT // []),
     dir: ($props.WORKING_DIRECTORY // "."),
     rig: (($props.FIXTURES_REQUIRED // []) | join(","))}
  | [.rig, .dir, (.env | tojson), .exe, .filter] | join("\u001f")' |
  awk -F"$sep" '{ key = $1 FS $2 FS $3 FS $4
                if (!(key in filters)) { order[++n] = key; filters[key] = $5 }
                else filters[key] = filters[key] ":" $5 }
              END { for (i = 1; i <= n; i++) print order[i] FS filters[order[i]] }' >"$logs/groups"

# Runs one group once; `how` is shard-I or seed-S. Prints a line, and the failed tests.
run_group() {
  local line=$1 how=$2
  local rig dir envjson command filter
  IFS=$'\x1f' read -r rig dir envjson command filter <<<"$line"
  local -a env=() args=()
  mapfile -t env < <(jq -r '.[]' <<<"$envjson")
  mapfile -t args < <(jq -r '.[]' <<<"$command")
  args+=("--gtest_filter=$filter")
  local name log
  name="$(basename "${args[0]}")-$(printf '%s' "$envjson$rig" | md5sum | cut -c1-6)-$how"
  log="$logs/$name.log"
  case "$how" in
    shard-*) env+=("GTEST_TOTAL_SHARDS=$shards" "GTEST_SHARD_INDEX=${how#shard-}") ;;
    seed-*) args+=(--gtest_shuffle "--gtest_random_seed=${how#seed-}") ;;
  esac
  if ! (cd "$dir" && env "${env[@]}" timeout 3600 "${args[@]}") >"$log" 2>&1; then
    echo "FAILED $name ($log)"
    grep -E '^\[  FAILED  \]|^(AddressSanitizer|UndefinedBehaviorSanitizer|==[0-9]+==ERROR)' "$log" | sort -u | head -20
    return 1
  fi
  echo "passed $name: $(grep -E '^\[  PASSED  \]' "$log" || echo 'no test')"
}
export -f run_group
export logs shards

runs=()
for shard in $(seq 0 $((shards - 1))); do runs+=("shard-$shard"); done
for seed in $seeds; do runs+=("seed-$seed"); done

status=0
# Executables without a rig side by side.
{ grep "^$sep" "$logs/groups" || true; } | while IFS= read -r line; do
  for how in "${runs[@]}"; do printf '%s\0%s\0' "$line" "$how"; done
done | xargs -0 -n 2 -P "$jobs" bash -c 'run_group "$0" "$1"' || status=1

# Those with a rig one at a time, each rig up for the lot.
rigs=$(cut -d"$sep" -f1 "$logs/groups" | tr ',' '\n' | sort -u | grep -v '^$' || true)
if [ -n "$rigs" ]; then
  # The tests that set up (FIXTURES_SETUP) or clean up (FIXTURES_CLEANUP) those rigs, as a regex.
  fixture_tests() {
    ctest --show-only=json-v1 | jq -r --arg kind "$1" --arg rigs "$rigs" '
      ($rigs | split("\n")) as $want
      | .tests[] | select(any(.properties[]?; .name == $kind and any(.value[]; IN($want[]))))
      | .name' | paste -sd'|'
  }
  up=$(fixture_tests FIXTURES_SETUP)
  down=$(fixture_tests FIXTURES_CLEANUP)
  trap 'ctest -R "^($down)\$" >/dev/null || true' EXIT
  if ctest -R "^($up)\$" --output-on-failure >"$logs/rigs-up.log" 2>&1; then
    while IFS= read -r line; do
      for how in "${runs[@]}"; do run_group "$line" "$how" || status=1; done
    done < <(grep -v "^$sep" "$logs/groups")
  else
    echo "the rigs did not come up ($logs/rigs-up.log): their tests were not run"
    status=1
  fi
fi
echo "logs in $logs"
exit $status
