#!/usr/bin/env bash
# swfrender on a movie cut short: it renders a PNG either way, prints its
# warnings only when asked, and a sound movie gives none.
set -euo pipefail
swfrender=$1 movie=$2 work=$3
mkdir -p "$work"
cut="$work/cut.swf"
head -c $(( $(stat -c %s "$movie") * 3 / 4 )) "$movie" > "$cut"

fail() { echo "FAIL: $*" >&2; exit 1; }

"$swfrender" "$cut" 0 64 48 "$work/quiet.png" 2> "$work/quiet.err" || fail "cut movie not rendered"
[ -s "$work/quiet.png" ] || fail "no picture"
! grep -q warning "$work/quiet.err" || fail "warnings printed unasked"

"$swfrender" --warnings "$cut" 0 64 48 "$work/loud.png" 2> "$work/loud.err" || fail "cut movie not rendered with --warnings"
grep -q "swfrender: warning: compressed data ends early" "$work/loud.err" || fail "no warning for the cut: $(cat "$work/loud.err")"

"$swfrender" --warnings "$movie" 0 64 48 "$work/whole.png" 2> "$work/whole.err" || fail "whole movie not rendered"
! grep -q warning "$work/whole.err" || fail "warnings for a sound movie: $(cat "$work/whole.err")"

if "$swfrender" --warnings 2> "$work/usage.err"; then fail "no arguments accepted"; fi
grep -q "usage: swfrender \[--warnings\]" "$work/usage.err" || fail "usage not shown"
echo "swfrender warnings: ok"
