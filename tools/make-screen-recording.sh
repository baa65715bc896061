#!/usr/bin/env bash
# make-screen-recording.sh OUT.flv [WIDTH HEIGHT SECONDS]: a screen recording
# for the demo guide in Screen Video 2 at 15 fps (656 x 240, 9 s unless
# given). ImageMagick draws a desktop, a window and a pointer; ffmpeg's
# overlay filter moves them: every 9 s the pointer goes to the window's title
# bar, presses, drags the window aside, lets go and comes back. Longer
# recordings repeat that, so every second of any of them has motion. The file
# is written beside OUT.flv and renamed, so a failure leaves none.
set -euo pipefail
out=$1 width=${2:-656} height=${3:-240} seconds=${4:-9}
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert=/usr/bin/convert ffmpeg=/usr/bin/ffmpeg
work=$(mktemp -d)
trap 'rm -rf "$work" "$out.part"' EXIT

# Everything is laid out in fractions of the picture, so any size works.
window_w=$((width * 42 / 100)) window_h=$((height * 60 / 100))
bar=$((height / 10 > 16 ? height / 10 : 16))
window_x=$((width * 8 / 100)) window_y=$((height * 15 / 100))
drag_x=$((width * 35 / 100)) drag_y=$((height * 10 / 100))
grab_x=$((window_x + window_w * 30 / 100)) grab_y=$((window_y + bar / 2))
rest_x=$((width * 85 / 100)) rest_y=$((height * 78 / 100))
pointer=$((height / 10 > 12 ? height / 10 : 12))  # the arrow's height

# The desktop: a gradient with a few icons down its left side.
icons=()
for ((y = bar; y + 2 * bar < height; y += 2 * bar)); do
  icons+=(-fill '#E8EEF6' -draw "roundrectangle $((bar / 2)),$y $((bar * 3 / 2)),$((y + bar)) 3,3")
done
"$convert" -size "${width}x${height}" gradient:'#5B8DB8-#2C5374' "${icons[@]}" PNG24:"$work/desktop.png"

# The window: a title bar with its caption and buttons over a page of lines.
lines=()
for ((y = bar * 2; y + bar / 2 < window_h; y += bar * 2 / 3 + 2)); do
  lines+=(-draw "rectangle $((bar / 2)),$y $((window_w * (60 + (y * 7) % 30) / 100)),$((y + bar / 4))")
done
"$convert" -size "${window_w}x${window_h}" xc:'#FFFFFF' \
  -fill '#1E468C' -draw "rectangle 0,0 $((window_w - 1)),$((bar - 1))" \
  -fill '#FFFFFF' -font "$bold" -pointsize $((bar * 55 / 100)) -annotate "+$((bar / 3))+$((bar * 72 / 100))" "Quick Start Guide" \
  -fill '#D8E2F0' -draw "rectangle $((window_w - bar + 3)),3 $((window_w - 4)),$((bar - 4))" \
  -fill '#C8D2E0' "${lines[@]}" \
  -fill none -stroke '#143264' -draw "rectangle 0,0 $((window_w - 1)),$((window_h - 1))" \
  PNG24:"$work/window.png"

# The pointer, an arrow with its tip at the picture's top left corner, and
# the same arrow pressed (a yellow ring round the tip).
arrow="polygon 1,1 1,$((pointer - 2)) $((pointer * 28 / 100)),$((pointer * 74 / 100)) $((pointer * 62 / 100)),$((pointer * 74 / 100))"
"$convert" -size "$((pointer * 3 / 4))x$pointer" xc:none -fill '#FFFFFF' -stroke '#000000' -draw "$arrow" \
  PNG32:"$work/pointer.png"
"$convert" -size "$((pointer * 3 / 4))x$pointer" xc:none -fill none -stroke '#FFD21E' -strokewidth 2 \
  -draw "circle 1,1 $((pointer / 3)),1" -fill '#FFFFFF' -stroke '#000000' -strokewidth 1 -draw "$arrow" \
  PNG32:"$work/pressed.png"

# One 9 s round: to the title bar in 3 s, pressed from 3 to 7 s while the
# window follows from 3.5 to 6.5 s, back to rest from 7 to 9 s.
round='mod(t,9)'
to_bar="clip($round/3,0,1)" drag="clip(($round-3.5)/3,0,1)" back="clip(($round-7)/2,0,1)"
pointer_x="$rest_x+($grab_x-$rest_x)*$to_bar+$drag_x*$drag+($rest_x-$grab_x-$drag_x)*$back"
pointer_y="$rest_y+($grab_y-$rest_y)*$to_bar+$drag_y*$drag+($rest_y-$grab_y-$drag_y)*$back"
pressed="between($round,3,7)"
graph="[1]format=rgba[w];[0][w]overlay=x='$window_x+$drag_x*$drag':y='$window_y+$drag_y*$drag'[a];"
graph+="[a][2]overlay=x='$pointer_x':y='$pointer_y':enable='not($pressed)'[b];"
graph+="[b][3]overlay=x='$pointer_x':y='$pointer_y':enable='$pressed',format=bgr24"
"$ffmpeg" -v error -y -loop 1 -framerate 15 -i "$work/desktop.png" -loop 1 -framerate 15 -i "$work/window.png" \
  -loop 1 -framerate 15 -i "$work/pointer.png" -loop 1 -framerate 15 -i "$work/pressed.png" \
  -filter_complex "$graph" -t "$seconds" -r 15 -c:v flashsv2 -g 45 -an -f flv "$out.part"
mv "$out.part" "$out"
