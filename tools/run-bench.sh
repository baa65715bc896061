#!/usr/bin/env bash
# Builds the optimised native tree and runs the rasterizer benchmark, with
# Cairo drawing the same scenes in the same run for comparison.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh libcairo2-dev
cmake --preset native-release
cmake --build --preset native-release -j"$(nproc)" --target swf_raster_bench
build/native-release/bench/swf_raster_bench "$@"
