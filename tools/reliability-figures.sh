#!/usr/bin/env bash
# reliability-figures.sh: long runs that give the program's reliability figures
# (not part of CI). Writes them to build/reliability/figures.md as well.
#
#   FUZZ_SECONDS=300   seconds per libFuzzer target (0 leaves fuzzing out)
#   FUZZ_MERGE=0       1: minimise each corpus into tests/fuzz/corpus/<target>
#   CYCLES=1000        move/resize cycles of the running program (0 leaves them out)
#   MOVIES=1           0 leaves the malformed-movie table out
#
# Fuzzing needs the fuzz tree (clang); the program runs need the Windows tree
# built (projector, demo, reliability_driver) and run under Wine in a prefix
# made fresh for the run, where the demo's first start installs the control.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fuzz_seconds=${FUZZ_SECONDS:-300}
fuzz_merge=${FUZZ_MERGE:-0}
cycles=${CYCLES:-1000}
movies=${MOVIES:-1}
out=$root/build/reliability
mkdir -p "$out"
figures=$out/figures.md

if [ "${1:-}" = "--program-runs" ]; then
  # The Windows half, inside a display (see the end of this script).
  prefix=$out/prefix
  driver=$root/build/windows/tools/reliability/reliability_driver.exe
  # Host paths as Wine's Z: drive names them.
  windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
  program=$(windows_path "$root/build/windows/demo/UserGuide.exe")
  movie=$(windows_path "$root/build/windows/demo/UserGuide.swf")
  rm -rf "$prefix"
  tools/wine-prefix.sh start "$prefix"
  trap 'tools/wine-prefix.sh stop "$prefix"' EXIT
  export WINEPREFIX=$prefix
  # The program's host process, found by the folder the driver runs it from.
  host_sample() {  # WHEN FOLDER
    local pid
    pid=$(pgrep -f "$2.Guide\\.exe" | head -1 || true)
    if [ -z "$pid" ]; then echo "| $1 | (process not found) | | |"; return; fi
    local anon rss fds
    anon=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status")
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    echo "| $1 | $((anon / 1024)) MiB | $((rss / 1024)) MiB | $fds |"
  }
  if [ "$cycles" -gt 0 ]; then
    echo "## Move/resize cycles of the running program"
    echo
    samples=()
    while IFS= read -r line; do
      case "$line" in
        "@sample "*) samples+=("$(host_sample "${line#@sample }" reliability_cycles)") ;;
        *) echo "$line" ;;
      esac
    done < <(tools/wine-run.sh "$driver" cycles "$program" "$movie" "$cycles" || echo "(the cycles run failed)")
    echo
    echo "Measured on the host (the process's anonymous memory, resident memory, open host files):"
    echo
    echo "| when | private (RssAnon) | resident | host file descriptors |"
    echo "|---|---|---|---|"
    printf '%s\n' "${samples[@]}"
    echo
  fi
  if [ "$movies" = 1 ]; then
    python3 tools/reliability/malformed_movies.py "$out/movies"
    echo "## Malformed and extreme movies through the program"
    echo
    samples=()
    while IFS= read -r line; do
      case "$line" in
        "@sample "*) samples+=("$(host_sample "${line#@sample }" reliability_movie)") ;;
        *) echo "$line" ;;
      esac
    done < <(tools/wine-run.sh "$driver" movies "$program" "$(windows_path "$out/movies")" || echo "(the movie runs failed)")
    echo
    echo "Memory of each run, measured on the host:"
    echo
    echo "| when | private (RssAnon) | resident | host file descriptors |"
    echo "|---|---|---|---|"
    printf '%s\n' "${samples[@]}"
    echo
  fi
  exit 0
fi

{
  echo "# Reliability figures ($(date -u '+%Y-%m-%d %H:%M UTC'), $(git rev-parse --short HEAD))"
  echo
} >"$figures"

if [ "$fuzz_seconds" -gt 0 ]; then
  {
    echo "## Fuzzing, ${fuzz_seconds} s per target"
    echo
    echo "| target | executions | per second | corpus files | crashes | timeouts |"
    echo "|---|---|---|---|---|---|"
  } >>"$figures"
  # A crash ends that target's run early; the table says so and the runs go on.
  FUZZ_TABLE=$figures FUZZ_MERGE=$fuzz_merge tools/run-fuzzers.sh "$fuzz_seconds" || true
  echo >>"$figures"
fi

if [ "$cycles" -gt 0 ] || [ "$movies" = 1 ]; then
  cmake --build --preset windows -j2 --target projector demo reliability_driver >/dev/null
  CYCLES=$cycles MOVIES=$movies tools/with-display.sh "$0" --program-runs >>"$figures" 2>"$out/program-runs.log"
fi

cat "$figures"
