#!/usr/bin/env bash
# run-fuzzers.sh [SECONDS]: builds the libFuzzer targets and runs each one for a
# bounded time from its seed corpus, as many at once as there are cores. The
# targets come from the optimised `fuzz` preset, or from FUZZ_TREE=DIR, a built tree whose libraries carry the
# fuzzing instrumentation already (the native tree: the test command uses it,
# so that the engine is not compiled a second time). A crash fails the run; its input is saved
# under <tree>/artifacts/<target>/ and belongs, once fixed, in
# tests/fuzz/regressions/<target>/.
#   FUZZ_TABLE=FILE  appends one Markdown table row per target to FILE:
#                    executions, per second, corpus files, crashes, timeouts
#   FUZZ_MERGE=1     minimises each corpus into tests/fuzz/corpus/<target>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
table=${FUZZ_TABLE:-}
merge=${FUZZ_MERGE:-0}
tree=${FUZZ_TREE:-}
if [ -z "$tree" ]; then
  tree=build/fuzz
  cmake --preset fuzz >/dev/null
  # Only the fuzz targets: the rest of this tree (tests, tools, benchmarks) is built elsewhere.
  cmake --build --preset fuzz -j2 --target fuzzers >/dev/null
else
  cmake --build "$tree" -j2 --target fuzzers >/dev/null
fi

# One target: its run, its table row, its merge. Its result goes to
# <artifacts>/status (0 or 1), since targets run side by side.
fuzz_one() {
  local fuzzer=$1 name corpus artifacts dir seeds=() result=0
  name=${fuzzer##*/fuzz_}
  corpus=$tree/corpus/$name
  artifacts=$tree/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  for dir in tests/fuzz/corpus/$name tests/fuzz/regressions/$name; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "fuzzing $name for ${seconds}s" >&2
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$artifacts/log.txt" 2>&1; then
    echo "fuzzer $name found a failure; input and log in $artifacts/" >&2
    tail -n 40 "$artifacts/log.txt" >&2
    result=1
  fi
  if [ -n "$table" ]; then
    local runs rate crashes timeouts
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$artifacts/log.txt" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$artifacts/log.txt" | tail -1)
    crashes=$(find "$artifacts" -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' | wc -l)
    timeouts=$(find "$artifacts" -name 'timeout-*' -o -name 'slow-unit-*' | wc -l)
    echo "| $name | ${runs:-?} | ${rate:-?} | $(find "$corpus" -type f | wc -l) | $crashes | $timeouts |" >>"$table"
  fi
  if [ "$merge" = 1 ]; then
    mkdir -p "tests/fuzz/corpus/$name"
    "$fuzzer" -merge=1 "tests/fuzz/corpus/$name" "$corpus" >/dev/null 2>&1 || true
  fi
  echo "$result" >"$artifacts/status"
}

# As many targets at once as the machine has cores: each gets its full time
# on a core of its own, and the whole run takes a fraction of the sum.
parallel=$(nproc)
names=()
for fuzzer in "$tree"/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  case "$fuzzer" in *_regressions) continue ;; esac
  names+=("${fuzzer##*/fuzz_}")
  rm -f "$tree/artifacts/${fuzzer##*/fuzz_}/status"
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do sleep 0.5; done
  fuzz_one "$fuzzer" &
done
wait

status=0
for name in "${names[@]}"; do
  [ "$(cat "$tree/artifacts/$name/status" 2>/dev/null)" = 0 ] || status=1
done
exit $status
