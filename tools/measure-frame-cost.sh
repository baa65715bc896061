#!/usr/bin/env bash
# measure-frame-cost.sh [--clips | --recording] [BUILD_DIR]: runs the real program under Wine on a
# private display and prints, from one run:
#   - the demo's share of one core over 30 s in a 1900 x 1050 window, and its peak memory;
#   - frames dropped over 30 s by a movie that changes every pixel of a
#     1920 x 1080 picture each frame at 30 fps (the control's own counters);
#   - start-up to the first frame of a movie that calls its host on frame 1,
#     against a minimal window program that ends on its first paint (medians);
#   - a 1280 x 720, 15 fps, 60 s Screen Video 2 recording played through a
#     NetStream over a 1280 x 720 stage: the program's share of one core over
#     the 60 s, and the video frames shown against the 900 in the file (the
#     movie traces the stream's currentFps once a second into its log).
# With --clips it prints only the frame pacing of the script-load movie:
# 500 clips moved by onEnterFrame in a 1280 x 720 control at 30 fps, 30 s;
# with --recording only the recording's figures.
# Needs the Windows tree built (cmake --build --preset windows --target demo minimal-window).
set -euo pipefail
cd "$(dirname "$0")/.."
clips_only=0 recording_only=0
if [ "${1:-}" = "--clips" ]; then clips_only=1; shift; fi
if [ "${1:-}" = "--recording" ]; then recording_only=1; shift; fi
build=$(realpath "${1:-build/windows}")
tools=$(realpath tools)
for need in "$build/demo/UserGuide.exe" "$build/movies/fullchange.swf" "$build/movies/flashcall.swf" \
            "$build/movies/clips500.swf" "$build/movies/recording720.swf" \
            "$build/tools/minimal-window/minimal-window.exe"; do
  [ -e "$need" ] || { echo "missing $need: build the windows tree first" >&2; exit 1; }
done
work=$build/frame-cost
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
# The recording is made before anything is measured (it takes a core for most of a minute).
if [ "$clips_only" = 0 ]; then "$tools/make-screen-recording.sh" "$work/recording720.flv" 1280 720 60; fi

# A display larger than the biggest window measured.
display=:$((90 + RANDOM % 500))
Xvfb "$display" -screen 0 2048x1280x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display WINEPREFIX=$prefix WINEDEBUG=-all
cleanup() { "$tools/wine-prefix.sh" stop "$prefix"; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
sleep 1
"$tools/wine-prefix.sh" start "$prefix"

# A program folder named NAME playing MOVIE in a WIDTH x HEIGHT window.
make_folder() {
  local name=$1 movie=$2 width=$3 height=$4 folder=$work/$1
  mkdir -p "$folder/${name}_Page_img"
  cp "$build/demo/UserGuide.exe" "$folder/$name.exe"
  cp "$movie" "$folder/$name.swf"
  cp "$build/demo/UserGuide_Page_img/"* "$folder/${name}_Page_img/"
  sed -e "s/&width=[^&]*&/\&width=$width\&/" -e "s/&height=[^&]*&/\&height=$height\&/" \
    "$build/demo/UserGuide_Page_img/Page_var.txt" >"$folder/${name}_Page_img/Page_var.txt"
}
# Processor time (user + system, clock ticks) of the processes running NAME.exe.
cpu_ticks() {
  local total=0 pid
  for pid in $(pgrep -f "$1\\.exe" || true); do
    total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}
wineserver_ticks() {
  local total=0 pid
  for pid in $(pgrep wineserver || true); do
    [ "$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -c "^WINEPREFIX=$prefix$")" -gt 0 ] || continue
    total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat")))
  done
  echo "$total"
}
wait_window() {
  for _ in $(seq 240); do
    xdotool search --name '^PlayerForm$' >/dev/null 2>&1 && return 0
    sleep 0.25
  done
  return 1
}
now() { date +%s.%N; }

make_folder Install "$build/movies/flashcall.swf" 400 300
make_folder Demo "$build/demo/UserGuide.swf" 1900 1050
make_folder FullChange "$build/movies/fullchange.swf" 1926 1112  # a 1920 x 1080 control
make_folder Startup "$build/movies/flashcall.swf" 400 300
make_folder Clips "$build/movies/clips500.swf" 1286 752  # a 1280 x 720 control
make_folder Recording "$build/movies/recording720.swf" 1286 752
[ "$clips_only" = 1 ] || mv "$work/recording720.flv" "$work/Recording/"

echo "machine load before the run: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min), $(nproc) cores"

# The first run installs the player control from the program's own package.
(cd "$work/Install" && wine Install.exe) || true

# Frame pacing of a movie that closes itself: the control writes its counters
# as debug output when it closes.
wait_window_gone() { for _ in $(seq 80); do xdotool search --name '^PlayerForm$' >/dev/null 2>&1 || return 0; sleep 0.5; done; }
pacing() {
  local name=$1 title=$2 start end counters
  wait_window_gone
  start=$(now)
  (cd "$work/$name" && WINEDEBUG=+debugstr timeout 60 wine "$name.exe") 2>"$work/$name.log" || true
  end=$(now)
  counters=$(grep -ao 'player control: [^\\]*' "$work/$name.log" | tail -n 1 || true)
  awk -v s="$start" -v e="$end" -v t="$title" 'BEGIN { printf "%s, ran %.1f s\n", t, e - s }'
  echo "  ${counters:-no counters written (see $work/$name.log)}"
}

# The screen recording: processor share over 60 s from its window's opening,
# and video frames shown. Frames shown are the sum of the once-a-second
# currentFps samples up to the first one after the stream said it stopped.
recording() {
  local folder=$work/Recording run ticks0 ticks1 server0 server1 t0 t1 counters late
  wait_window_gone
  rm -f "$folder/Recording.swf.log"
  (cd "$folder" && GUIDEPLAYER_LOG=1 WINEDEBUG=+debugstr exec timeout 150 wine Recording.exe) 2>"$work/Recording.log" &
  run=$!
  wait_window || { echo "the recording's window did not open" >&2; return 1; }
  ticks0=$(cpu_ticks Recording); server0=$(wineserver_ticks); t0=$(now)
  sleep 60
  ticks1=$(cpu_ticks Recording); server1=$(wineserver_ticks); t1=$(now)
  wait "$run" || true
  awk -v a="$ticks0" -v b="$ticks1" -v s0="$server0" -v s1="$server1" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" 'BEGIN {
    printf "recording 1280 x 720 at 15 fps through NetStream, 60 s: %.1f %% of one core (wineserver %.1f %%)\n",
           100 * (b - a) / hz / (t1 - t0), 100 * (s1 - s0) / hz / (t1 - t0) }'
  # currentFps counts the frames shown in the second before the playhead, so
  # the samples' sum may count a frame at a window's edge twice: the lowest
  # sample while playing (the first second aside) tells a drop as well.
  tr -d '\r' <"$folder/Recording.swf.log" 2>/dev/null | awk -v expected=900 '
    /^status NetStream.Play.Stop/ { stopped = 1 }
    /^second [0-9]+ fps / {
      if (done) next
      shown += $4; samples++; last = $6
      if (stopped) done = 1
      else if ($2 > 1 && (lowest == "" || $4 < lowest)) lowest = $4
    }
    END {
      if (samples == 0) { print "  no currentFps samples in the log: is NetStream there?"; exit }
      dropped = expected - shown; if (dropped < 0) dropped = 0
      printf "  frames shown %.0f of %d (%.0f dropped; sum of %d currentFps samples), lowest sample %s while playing, last ns.time %.2f s%s\n",
             shown, expected, dropped, samples, lowest, last, stopped ? "" : ", the stream never said it stopped" }'
  # The stream itself tells, as a warning when it ends, how many frames it let go for being late.
  late=$(tr -d '\r' <"$folder/Recording.swf.log" 2>/dev/null |
         sed -n 's/.*: \([0-9]*\) of \([0-9]*\) frames were let go.*/\1 of \2/p' | tail -n 1)
  echo "  video frames let go for being late (the stream's own count): ${late:-none}"
  counters=$(grep -ao 'player control: [^\\]*' "$work/Recording.log" | tail -n 1 || true)
  echo "  ${counters:-no counters written (see $work/Recording.log)}"
}

if [ "$clips_only" = 1 ]; then
  pacing Clips "500-clip onEnterFrame movie 1280 x 720 at 30 fps"
  echo "machine load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi
if [ "$recording_only" = 1 ]; then
  recording
  echo "machine load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi

# Demo: processor share over 30 s of play, from 3 s after its window opened.
(cd "$work/Demo" && exec wine Demo.exe) &
demo=$!
wait_window || { echo "the demo window did not open" >&2; exit 1; }
sleep 3
ticks0=$(cpu_ticks Demo); server0=$(wineserver_ticks); t0=$(now)
sleep 30
ticks1=$(cpu_ticks Demo); server1=$(wineserver_ticks); t1=$(now)
peak=0
for pid in $(pgrep -f 'Demo\.exe' || true); do
  kb=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
  [ "${kb:-0}" -gt "$peak" ] && peak=$kb
done
hz=$(getconf CLK_TCK)
awk -v a="$ticks0" -v b="$ticks1" -v s0="$server0" -v s1="$server1" -v t0="$t0" -v t1="$t1" -v hz="$hz" 'BEGIN {
  printf "demo 1900 x 1050, 30 s: %.1f %% of one core (wineserver %.1f %%)\n",
         100 * (b - a) / hz / (t1 - t0), 100 * (s1 - s0) / hz / (t1 - t0) }'
echo "demo peak memory (VmHWM): $((peak / 1024)) MiB"
kill "$demo" 2>/dev/null || true
wineserver -k 2>/dev/null || true
sleep 1
"$tools/wine-prefix.sh" start "$prefix"

# Frame pacing.
pacing FullChange "full-change movie 1920 x 1080 at 30 fps"
pacing Clips "500-clip onEnterFrame movie 1280 x 720 at 30 fps"
recording || true

# Start-up: alternate runs of both programs, medians of each. Single runs
# spread widely (each one starts Wine's desktop process anew), so there are
# eleven, and the fastest run of each is given as well.
program_times=() minimal_times=()
for _ in $(seq 11); do
  t0=$(now); (cd "$work/Startup" && wine Startup.exe) >/dev/null 2>&1 || true; t1=$(now)
  program_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')")
  t0=$(now); wine "$build/tools/minimal-window/minimal-window.exe" >/dev/null 2>&1 || true; t1=$(now)
  minimal_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')")
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
p=$(median "${program_times[@]}")
m=$(median "${minimal_times[@]}")
awk -v p="$p" -v m="$m" 'BEGIN { printf "start-up to first frame: %.3f s, minimal window: %.3f s, ratio %.2f\n", p, m, p / m }'
fastest() { printf '%s\n' "$@" | sort -g | head -n 1; }
p=$(fastest "${program_times[@]}")
m=$(fastest "${minimal_times[@]}")
awk -v p="$p" -v m="$m" 'BEGIN { printf "  fastest runs: %.3f s against %.3f s, ratio %.2f\n", p, m, p / m }'
echo "  runs (s): projector ${program_times[*]}; minimal ${minimal_times[*]}"
echo "machine load after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
