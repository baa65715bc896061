#!/usr/bin/env bash
# fresh-prefix-run.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under
# Wine in PREFIX made anew for this run (a machine with nothing installed),
# then ends that prefix's server. Exits with the program's exit code.
set -euo pipefail
tools=$(dirname "$(realpath "$0")")
prefix=$(realpath -m "$1")
shift
rm -rf "$prefix"
"$tools/wine-prefix.sh" start "$prefix"
trap '"$tools/wine-prefix.sh" stop "$prefix"' EXIT
WINEPREFIX=$prefix "$tools/wine-run.sh" "$@"
