#!/usr/bin/env bash
# Builds both trees and runs every test: the portable code natively (with
# AddressSanitizer and UBSan), the Windows program and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)

cmake --preset native
cmake --build --preset native -j"$jobs"
ctest --preset native -j"$jobs"

# Each fuzz target for a short, bounded time (libFuzzer, clang).
tools/run-fuzzers.sh 20

cmake --preset windows
cmake --build --preset windows -j"$jobs"
tools/with-display.sh ctest --preset windows
