#!/usr/bin/env bash
# Builds the optimised native tree and runs the benchmarks: the rasterizer
# (Cairo drawing the same scenes, bitmap fills included, in the same run for
# comparison), the action VM's script work, a page picture loaded by a
# script to its first drawn frame, a full-stage HTML text field laid out
# and drawn, and movies' frames drawn as the control draws them (only what
# changed), and eight MP3 voices decoded and mixed (ffmpeg doing the same in
# the same run) with stream sync under slow drawing, and video decoding
# (ffmpeg decoding the same files in the same run); the script benchmark
# also runs its programs' JavaScript twins in Duktape and MuJS. Extra
# arguments go to each benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh libcairo2-dev duktape mujs
cmake --preset native-release -DPROJECTOR_BENCH_CAIRO=ON
cmake --build --preset native-release -j"$(nproc)" --target swf_raster_bench swf_script_bench swf_load_bench swf_text_bench swf_frame_bench swf_sound_bench swf_sorenson_bench swf_screen_video_bench
for bench in swf_raster_bench swf_script_bench swf_load_bench swf_text_bench swf_frame_bench swf_sound_bench swf_sorenson_bench swf_screen_video_bench; do
  build/native-release/bench/$bench "$@"
done
