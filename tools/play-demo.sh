#!/usr/bin/env bash
# play-demo.sh DEMO_FOLDER PREFIX: runs DEMO_FOLDER/UserGuide.exe under Wine in
# a new prefix. On a private (headless) display it saves a screenshot of the
# window as DEMO_FOLDER/screenshot.png and then closes the program; on a real
# display it waits until the program ends.
set -euo pipefail
tools=$(dirname "$(realpath "$0")")
demo=$(realpath "$1")
prefix=$(realpath -m "$2")
export WINEPREFIX=$prefix WINEDEBUG=-all

rm -rf "$prefix"
# On the user's own desktop the window manager handles the windows.
[ -n "${PROJECTOR_PRIVATE_DISPLAY:-}" ] || export PROJECTOR_WINDOW_MANAGER=1
"$tools/wine-prefix.sh" start "$prefix"
trap '"$tools/wine-prefix.sh" stop "$prefix"' EXIT

cd "$demo"
wine UserGuide.exe &
program=$!

if [ -z "${PROJECTOR_PRIVATE_DISPLAY:-}" ]; then
  wait "$program" || true
  exit 0
fi

# The installer runs first; give it time, then wait for the player window.
window=""
for _ in $(seq 240); do
  window=$(xdotool search --name '^PlayerForm$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "the player window did not open" >&2
  import -window root "$demo/screenshot.png" || true
  exit 1
fi
sleep 3  # let the movie play a few frames
import -window root "$demo/screenshot.png"
echo "screenshot: $demo/screenshot.png"
# Press the movie's own Close button, as a user would. The movie (an 800 x 600
# stage, the button centred at 142, 492) fills the control, which lies 3
# pixels in from the window's sides and bottom, below the 29-pixel title bar.
eval "$(xdotool getwindowgeometry --shell "$window")"
read -r x y < <(awk -v l="$X" -v t="$Y" -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN {
  cw = w - 6; ch = h - 32; s = cw / 800 < ch / 600 ? cw / 800 : ch / 600
  printf "%d %d\n", l + 3 + (cw - 800 * s) / 2 + 142 * s, t + 29 + (ch - 600 * s) / 2 + 492 * s }')
xdotool mousemove "$x" "$y"
sleep 0.5
xdotool click 1
for _ in $(seq 120); do kill -0 "$program" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$program" 2>/dev/null; then
  echo "the program was still running 30 s after the click on Close" >&2
  kill "$program"
  exit 1
fi
status=0
wait "$program" || status=$?
echo "the movie's Close button ended the program with exit code $status"
exit "$status"
