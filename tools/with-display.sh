#!/usr/bin/env bash
# Runs a command with an X display and the project's Wine prefix ready.
# Without $DISPLAY it starts its own Xvfb (1024 x 768 x 24) on a free display number and stops it
# at the end. The prefix lives in build/wineprefix and is made on first use, with the HTML and
# .NET engines disabled (no installer prompts) and the crash dialog off.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

xvfb_pid=
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e /tmp/.X11-unix/X$n ] && break
      sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=:$n KORVANE_OWN_DISPLAY=1; break; fi
    xvfb_pid=
  done
  [ -n "${DISPLAY:-}" ] || { echo "with-display: could not start Xvfb" >&2; exit 1; }
fi

if [ ! -f "$WINEPREFIX/.korvane-ready-2" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d 'false' /f >/dev/null 2>&1
  # Wine draws the frames and caption bars itself: with no window manager on the display they
  # would otherwise be missing from the screen and from window captures.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.korvane-ready-2"
fi
wineserver -p >/dev/null 2>&1
# Start Wine's own background processes (services, the desktop) now, away from the caller's
# output: started by the first test program they would hold ctest's pipe open.
wine cmd /c exit >/dev/null 2>&1 </dev/null
wine rundll32 user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null
"$@"
