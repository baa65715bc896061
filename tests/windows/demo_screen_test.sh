#!/usr/bin/env bash
# demo_screen_test.sh SWFRENDER DEMO_DIR CAPTURE_EXE WORK_DIR
# The demo played under Wine for a few seconds, drawn frame by frame with only
# what changed, must show on screen what a whole drawing of the same movie at
# the same size shows (swfrender, the native renderer, with the same pages).
# The header's spinner goes round once every 24 frames, and which frame the
# screen shows is not known: the screen must match the whole drawing of one
# of those 24 frames, the spinner included (a trail or a missed redraw
# matches none). The resize grip (a 12 x 12 window of its own over the
# control's lower right corner) is not the movie's and is left out. So are the
# fields in device fonts (page title, page counter, the search field's label,
# the page's HTML text):
# on screen the system draws them (GDI), swfrender draws them with FreeType,
# and the two place the same face's glyphs a pixel apart along a line.
# Anti-aliasing may differ by a few levels at a few pixels.
set -euo pipefail
swfrender=$1 demo=$2 capture=$3 work=$4
tools=$(dirname "$(realpath "$0")")/../../tools
rm -rf "$work"
mkdir -p "$work"
"$tools/fresh-prefix-run.sh" "$work/prefix" "$capture" "Z:${demo//\//\\}" "Z:${work//\//\\}\\screen.bmp"
read -r width height < <(identify -format '%w %h\n' "$work/screen.bmp")
masks="rectangle $((width - 12)),$((height - 12)) $((width - 1)),$((height - 1))"
# The demo's 800 x 600 stage shown whole and centred; device-font fields in stage pixels.
for field in "64 98 700 130" "230 480 410 506" "72 524 236 550" "108 230 512 420"; do
  masks+=$(awk -v w="$width" -v h="$height" -v f="$field" 'BEGIN {
    split(f, r, " "); s = (w / 800 < h / 600) ? w / 800 : h / 600; ox = (w - 800 * s) / 2; oy = (h - 600 * s) / 2
    printf " rectangle %d,%d %d,%d", ox + r[1] * s - 1, oy + r[2] * s - 1, ox + r[3] * s + 1, oy + r[4] * s + 1 }')
done
convert "$work/screen.bmp" -alpha off -fill black -draw "$masks" "$work/screen.png"
allowed=$((width * height / 10000))
best=-1 best_frame=0
# Frames 72 to 95: three seconds in, page 1 loaded long before.
for frame in $(seq 72 95); do
  "$swfrender" "$demo/UserGuide.swf" "$frame" "$width" "$height" "$work/frame.png"
  convert "$work/frame.png" -alpha off -fill black -draw "$masks" "$work/expected-$frame.png"
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
