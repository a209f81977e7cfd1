#!/usr/bin/env bash
# Makes the README's pictures from the real program under Wine (inside tools/with-display.sh):
# the window with a picture dropped on it, and the two images of an avatar it generated.
#   tools/readme-pictures.sh WINDOWS_BUILD_DIR OUT_DIR
set -eu
windows=$1 out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A picture of our own: a seeded plasma with a soft vignette.
convert -size 320x320 -seed 7 plasma:'#ffb36b-#3b6fd6' \( -size 320x320 radial-gradient:white-'#203050' \) \
  -compose multiply -composite -quality 92 "$work/sample.jpg"

"$here/tools/wine-run.sh" "$windows/korvane.exe" &
app=$!
for _ in $(seq 1 150); do
  id=$(xwininfo -root -tree 2>/dev/null | grep '"Korvane"' | head -n 1 | awk '{print $1}')
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "${id:-}" ] || { echo "readme-pictures: no window" >&2; exit 1; }
sleep 1
"$windows/xdnd-drop" --title Korvane --x 60 --y 60 "$work/sample.jpg"
sleep 2
import -window "$id" "$out/window-with-picture.png"
kill $app 2>/dev/null || true
wait $app 2>/dev/null || true

# An avatar as the program writes it: the end-to-end test's, split at the first image's size.
"$here/tools/wine-run.sh" "$windows/avatar_end_to_end_test.exe" --gtest_filter='*ImportThenGenerate*' >/dev/null 2>&1 || true
avatar=$(ls -t "$WINEPREFIX"/drive_c/users/*/Temp/korvane-avatar_end_to_end_test.exe-*/second.jpg 2>/dev/null | head -n 1)
[ -n "$avatar" ] || { echo "readme-pictures: no avatar" >&2; exit 1; }
first=$(od -An -tu4 -j2 -N4 "$avatar" | tr -d ' ')
head -c "$first" "$avatar" >"$work/frame.bmp"
tail -c +"$((first + 1))" "$avatar" >"$work/badge.bmp"
convert "$work/frame.bmp" "$out/avatar-frame.png"
convert "$work/badge.bmp" "$out/avatar-badge.png"
echo "readme pictures in $out"
