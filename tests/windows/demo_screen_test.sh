#!/usr/bin/env bash
# demo_screen_test.sh SWFRENDER DEMO_DIR CAPTURE_EXE WORK_DIR
# The demo played under Wine for a few seconds, drawn frame by frame with only
# what changed, must show on screen what a whole drawing of the same movie at
# the same size shows (swfrender, the native renderer, with the same pages).
# The header's spinner goes round once every 24 frames, and which frame the
# screen shows is not known: the screen must match the whole drawing of one
# of those 24 frames, the spinner included (a trail or a missed redraw
# matches none). The resize grip (a 12 x 12 window of its own over the
# control's lower right corner) is not the movie's and is left out.
# Anti-aliasing may differ by a few levels at a few pixels.
set -euo pipefail
swfrender=$1 demo=$2 capture=$3 work=$4
tools=$(dirname "$(realpath "$0")")/../../tools
rm -rf "$work"
mkdir -p "$work"
"$tools/fresh-prefix-run.sh" "$work/prefix" "$capture" "Z:${demo//\//\\}" "Z:${work//\//\\}\\screen.bmp"
read -r width height < <(identify -format '%w %h\n' "$work/screen.bmp")
grip="$((width - 12)),$((height - 12)) $((width - 1)),$((height - 1))"
convert "$work/screen.bmp" -alpha off -fill black -draw "rectangle $grip" "$work/screen.png"
allowed=$((width * height / 10000))
best=-1 best_frame=0
# Frames 72 to 95: three seconds in, page 1 loaded long before.
for frame in $(seq 72 95); do
  "$swfrender" "$demo/UserGuide.swf" "$frame" "$width" "$height" "$work/frame.png"
  convert "$work/frame.png" -alpha off -fill black -draw "rectangle $grip" "$work/expected-$frame.png"
  differing=$(compare -metric AE -fuzz 3% "$work/screen.png" "$work/expected-$frame.png" null: 2>&1 || true)
  [[ "$differing" =~ ^[0-9]+$ ]] || { echo "compare failed: $differing" >&2; exit 1; }
  if [ "$best" -lt 0 ] || [ "$differing" -lt "$best" ]; then best=$differing best_frame=$frame; fi
done
echo "closest whole drawing: frame $best_frame, $best of $((width * height)) pixels differ beyond anti-aliasing" \
     "(allowed $allowed)"
if [ "$best" -gt "$allowed" ]; then
  compare -fuzz 3% "$work/screen.png" "$work/expected-$best_frame.png" "$work/difference.png" 2>/dev/null || true
  echo "see $work/difference.png" >&2
  exit 1
fi
