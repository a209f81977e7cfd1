#!/usr/bin/env bash
# Starts korvane.exe under Wine, waits for its window and writes a PNG screenshot of it. On the
# user's display the program then runs until it is closed; on a private Xvfb (no $DISPLAY was
# given) nobody can use it, so it is closed after the screenshot.
set -u
exe=$1 shot=$2
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/wine-run.sh" "$exe" &
app=$!
for _ in $(seq 1 100); do
  id=$(xwininfo -root -tree 2>/dev/null | grep '"Korvane"' | head -n 1 | awk '{print $1}')
  [ -n "$id" ] && break
  sleep 0.1
done
if [ -n "${id:-}" ]; then
  sleep 1
  mkdir -p "$(dirname "$shot")"
  import -window "$id" "$shot" 2>/dev/null || import -window root -crop 163x306+430+231 "$shot"
  echo "screenshot: $shot"
fi
if [ -n "${KORVANE_OWN_DISPLAY:-}" ]; then
  echo "no display of your own: the window was shown on a private Xvfb and is closed again"
  kill $app 2>/dev/null
fi
wait $app
