#!/usr/bin/env bash
# run-fuzzers.sh [SECONDS]: builds the libFuzzer targets and runs each one for a
# bounded time from its seed corpus. A crash fails the run; its input is saved
# under build/fuzz/artifacts/<target>/ and belongs, once fixed, in
# tests/fuzz/regressions/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

status=0
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  case "$fuzzer" in *_regressions) continue ;; esac
  name=${fuzzer##*/fuzz_}
  corpus=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  for dir in tests/fuzz/corpus/$name tests/fuzz/regressions/$name; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  echo "fuzzing $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
        -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$artifacts/log.txt" 2>&1; then
    echo "fuzzer $name found a failure; input and log in $artifacts/" >&2
    tail -n 40 "$artifacts/log.txt" >&2
    status=1
  fi
done
exit $status
