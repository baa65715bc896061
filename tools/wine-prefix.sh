#!/usr/bin/env bash
# wine-prefix.sh start PREFIX [KEEPER] | stop PREFIX
# start: creates the throwaway prefix once and keeps a wineserver alive for the
#        run; KEEPER, a Windows program that waits until it is ended, keeps the
#        prefix's desktop alive for the run too.
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
    setsid wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
      # wineboot complains about the missing 32-bit half; the 64-bit prefix is whole.
      wineboot -i </dev/null >/dev/null 2>&1 || [ -d "$WINEPREFIX/drive_c/windows/system32" ]
    fi
    # There is no window manager on a test display: Wine places, sizes and
    # maximises every window itself instead of leaving it to one. (A prefix
    # for a desktop with a window manager sets PROJECTOR_WINDOW_MANAGER=1.)
    if [ -z "${PROJECTOR_WINDOW_MANAGER:-}" ] && [ ! -e "$WINEPREFIX/.unmanaged" ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.unmanaged"
    fi
    # Start Wine's own services now, detached: started later by a test, they
    # would inherit CTest's output pipes and keep it waiting after the test ends.
    setsid wineboot </dev/null >/dev/null 2>&1 || true
    if [ -n "${3:-}" ]; then
      setsid wine "$3" </dev/null >/dev/null 2>&1 &
    fi
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
