#!/usr/bin/env bash
# swfrender --audio on moviegen's tone movie (half a second of a 440 Hz sine
# at half of full scale, started on frame 1 of 12 at 12 fps), checked with
# ffprobe and ffmpeg's level meter: a 44.1 kHz stereo WAV as long as the 12
# frames' time it played (one pass; the next would start the tone again),
# with the tone's level over that time.
set -euo pipefail
swfrender=$1 moviegen=$2 work=$3
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$moviegen" "$work/movies" > /dev/null
"$swfrender" --audio "$work/tone.wav" "$work/movies/tone.swf" 11 64 32 "$work/tone.png" || fail "not rendered"
[ -s "$work/tone.png" ] || fail "no picture"
probe=$(ffprobe -v error -show_entries stream=codec_name,sample_rate,channels:format=duration -of default=nw=1 "$work/tone.wav")
grep -qx "codec_name=pcm_s16le" <<< "$probe" || fail "not 16-bit PCM: $probe"
grep -qx "sample_rate=44100" <<< "$probe" || fail "not 44.1 kHz: $probe"
grep -qx "channels=2" <<< "$probe" || fail "not stereo: $probe"
# 12 frames at 12 fps: 1 s.
duration=$(sed -n 's/^duration=//p' <<< "$probe")
awk -v d="$duration" 'BEGIN { exit !(d > 0.995 && d < 1.005) }' || fail "lasts $duration s, not 1"
# A sine of amplitude 16384 has an RMS of 16384 / sqrt(2), -9.03 dB of full
# scale; playing for 0.5 s of the 1 s lowers the whole file's RMS by
# 10 log10(0.5 / 1) = -3.01 dB: -12.04 dB.
rms=$(ffmpeg -v info -i "$work/tone.wav" -af astats=measure_perchannel=none -f null - 2>&1 |
      sed -n 's/.*RMS level dB: \(-\?[0-9.]*\).*/\1/p' | tail -1)
[ -n "$rms" ] || fail "no level measured"
awk -v r="$rms" 'BEGIN { exit !(r > -12.3 && r < -11.8) }' || fail "RMS level $rms dB, not -12.04"
echo "swfrender audio: ok"
