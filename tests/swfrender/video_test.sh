#!/usr/bin/env bash
# swfrender on moviegen's NetStream movie (30 fps, a Video over the whole
# stage playing recording720.flv beside it) with a small Screen Video 2
# recording ffmpeg makes (15 fps): tick k shows the stream's frame at
# (k - 1) / 30 s, the frame ffmpeg decodes as number floor((k - 1) / 2),
# pixel for pixel, and the same ticks draw the same picture on every run.
set -euo pipefail
swfrender=$1 moviegen=$2 recorder=$3 work=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"
"$moviegen" "$work/movies" > /dev/null
"$recorder" "$work/movies/recording720.flv" 320 180 3
ffmpeg -v error -i "$work/movies/recording720.flv" -f rawvideo -pix_fmt rgb24 "$work/frames.rgb"
frame_bytes=$((320 * 180 * 3))
for tick in 1 2 8 31 60; do
  frame=$(((tick - 1) / 2))
  "$swfrender" "$work/movies/recording720.swf" "$tick" 320 180 "$work/tick$tick.png" || fail "tick $tick not rendered"
  dd if="$work/frames.rgb" of="$work/frame$frame.rgb" bs="$frame_bytes" skip="$frame" count=1 status=none
  convert -size 320x180 -depth 8 "rgb:$work/frame$frame.rgb" "$work/frame$frame.png"
  psnr=$(compare -metric PSNR "$work/tick$tick.png" "$work/frame$frame.png" null: 2>&1 || true)
  [ "$psnr" = inf ] || fail "tick $tick: PSNR $psnr against ffmpeg's frame $frame, not identical"
done
"$swfrender" "$work/movies/recording720.swf" 31 320 180 "$work/again.png"
cmp -s "$work/tick31.png" "$work/again.png" || fail "tick 31 drew differently the second time"
echo "swfrender video: ok"
