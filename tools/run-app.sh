#!/usr/bin/env bash
# Starts korvane.exe under Wine. On a display of our own (no $DISPLAY given), it waits for the
# window, writes a PNG screenshot of it and leaves the program running until it is closed.
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
wait $app
