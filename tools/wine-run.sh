#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix named by WINEPREFIX (never ~/.wine).
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name a throwaway prefix}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
