#!/usr/bin/env bash
# wine-prefix.sh start|stop PREFIX
# start: creates the throwaway prefix once and keeps a wineserver alive for the run.
# stop:  ends that prefix's wineserver (and with it only that prefix's processes).
set -euo pipefail
action=$1
export WINEPREFIX=$2 WINEDEBUG=-all
# No Mono or Gecko download prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree=;mshtml="
case "$action" in
  start)
    mkdir -p "$WINEPREFIX"
    # The persistent server first, detached from our output pipes (or CTest
    # would wait for it to end); it is already there when a run was cut short.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
      # wineboot complains about the missing 32-bit half; the 64-bit prefix is whole.
      wineboot -i </dev/null >/dev/null 2>&1 || [ -d "$WINEPREFIX/drive_c/windows/system32" ]
    fi
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
