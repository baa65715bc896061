#!/usr/bin/env bash
# Builds both trees and runs every test: the portable code natively (with
# AddressSanitizer and UBSan), the Windows program and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each phase's wall time goes to the log, to see where the time goes.
phase_start=$SECONDS
phase() {
  echo "== $1 took $((SECONDS - phase_start)) s (total $SECONDS s)" >&2
  phase_start=$SECONDS
}
tools/install-deps.sh
jobs=$(nproc)
phase "installing packages"

# Every C++ source as the tree's .clang-format writes it.
tools/check-format.sh

cmake --preset native
cmake --build --preset native -j"$jobs"
phase "native build"
ctest --preset native -j"$jobs"
phase "native tests"

# Each fuzz target for a short, bounded time (libFuzzer), from the native
# tree, whose libraries carry the fuzzing instrumentation.
FUZZ_TREE=build/native tools/run-fuzzers.sh 20
phase "fuzzing"

# The Windows tree takes its build-time tools from the native tree just built.
cmake --preset windows -DPROJECTOR_HOST_TOOLS_FROM="$PWD/build/native"
cmake --build --preset windows -j"$jobs"
phase "Windows build"
tools/with-display.sh ctest --preset windows
phase "Windows tests"
