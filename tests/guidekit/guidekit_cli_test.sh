#!/usr/bin/env bash
# guidekit GUIDEKIT THIRD_PARTY_MOVIE WORK_FOLDER: the command line as an
# author uses it, piped: help for every command, exit codes, and no progress
# line (no carriage return) when standard error is not a terminal.
set -u
guidekit=$1 movie=$2 work=$3
rm -rf "$work" && mkdir -p "$work/kit"
printf 'MZ program' >"$work/kit/projector.exe"
printf 'package' >"$work/kit/GuidePlayerControl.msi"
failures=0
expect() {  # expected exit code, description, command...
  local want=$1 what=$2
  shift 2
  "$@" >"$work/out.txt" 2>"$work/err.txt"
  local got=$?
  if [[ $got != "$want" ]]; then
    echo "FAIL: $what: exit $got, expected $want"; cat "$work/err.txt"; failures=$((failures + 1))
  fi
}
contains() {  # file, text, description
  if ! grep -qF -- "$2" "$1"; then echo "FAIL: $3: no '$2' in $1"; cat "$1"; failures=$((failures + 1)); fi
}

expect 0 "overall help" "$guidekit" --help
contains "$work/out.txt" "guidekit COMMAND" "overall help"
for command in make check shot info; do
  expect 0 "$command help" "$guidekit" "$command" --help
  contains "$work/out.txt" "usage: guidekit $command" "$command help"
done
expect 2 "unknown command" "$guidekit" frobnicate

expect 0 "info" "$guidekit" info "$movie"
contains "$work/out.txt" "stage: 160 x 120 pixels" "info"
contains "$work/out.txt" "frame rate: 10 fps" "info"

expect 0 "check of a movie without warnings" "$guidekit" check "$movie" --frames 30
contains "$work/out.txt" "no warnings in 30 frames" "check summary"
if grep -q $'\r' "$work/err.txt" "$work/out.txt"; then
  echo "FAIL: check wrote a progress line into a pipe"; failures=$((failures + 1))
fi
printf 'not a movie' >"$work/bad.swf"
expect 2 "check of a file that is no movie" "$guidekit" check "$work/bad.swf"

expect 0 "make" "$guidekit" make "$movie" --out "$work/guide" --name Tour --kit "$work/kit"
contains "$work/guide/Tour_Page_img/Page_var.txt" "&width=300&" "make's settings"
expect 2 "make over an existing guide" "$guidekit" make "$movie" --out "$work/guide" --name Tour --kit "$work/kit"
contains "$work/err.txt" "give --force" "make's refusal"
[[ $(wc -l <"$work/err.txt") == 1 ]] || { echo "FAIL: the refusal is not one line"; failures=$((failures + 1)); }

expect 0 "shot" "$guidekit" shot "$movie" --frame 3 "$work/frame.png"
# ImageMagick's reading of the picture: the stage's size.
if command -v identify >/dev/null; then
  [[ $(identify -format '%wx%h' "$work/frame.png") == 160x120 ]] || { echo "FAIL: shot's size"; failures=$((failures + 1)); }
fi
expect 2 "shot without --frame" "$guidekit" shot "$movie" "$work/frame2.png"
[[ ! -e $work/frame2.png ]] || { echo "FAIL: a refused shot wrote its file"; failures=$((failures + 1)); }

exit $((failures > 0))
