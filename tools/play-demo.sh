#!/usr/bin/env bash
# play-demo.sh DEMO_FOLDER PREFIX: runs DEMO_FOLDER/UserGuide.exe under Wine in
# a new prefix. On a private (headless) display it saves a screenshot of the
# window as DEMO_FOLDER/screenshot.png and then closes the program; on a real
# display it waits until the program ends.
set -euo pipefail
demo=$(realpath "$1")
prefix=$(realpath -m "$2")
export WINEPREFIX=$prefix WINEDEBUG=-all

rm -rf "$prefix"
tools/wine-prefix.sh start "$prefix"
trap 'tools/wine-prefix.sh stop "$prefix"' EXIT

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
xdotool windowclose "$window" 2>/dev/null || true
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.25; done
