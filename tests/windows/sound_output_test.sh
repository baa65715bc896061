#!/usr/bin/env bash
# sound_output_test.sh SOUND_CAPTURE DEMO_DIR MEDIA_DIR WORK_DIR
# Runs sound_capture in a prefix made fresh for it, with a home whose ALSA
# default device is the `file` plugin: whatever Wine's ALSA driver plays is
# written to WORK_DIR/capture.wav (and dropped by the "null" device behind it).
set -euo pipefail
capture=$1 demo=$2 media=$3 work=$4
tools=$(dirname "$(realpath "$0")")/../../tools
rm -rf "$work"
mkdir -p "$work/home"
cat >"$work/home/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/capture.wav"
  format "wav"
}
ASOUND
export HOME=$work/home GUIDEPLAYER_LOG=1
win() { echo "Z:${1//\//\\}"; }
"$tools/fresh-prefix-run.sh" "$work/prefix" "$capture" "$(win "$demo")" "$(win "$media/stream.swf")" \
  "$(win "$media/stream.raw")" "$(win "$media/event.mp3")" "$(win "$work/capture.wav")"
