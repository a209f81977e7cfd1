#!/usr/bin/env bash
# Runs each decoder's libFuzzer target for SECONDS, one at a time, and prints for each its
# executions and the time it ran. The corpus of every target lives in BUILD_DIR/corpus/<target>
# and grows across runs; it is seeded with small pictures of every kind made here by ImageMagick.
#   tools/run-fuzz.sh BUILD_DIR SECONDS [TARGET...]   (all targets when none are named)
set -u
cd "$(dirname "$0")/.."
build=${1:?usage: run-fuzz.sh BUILD_DIR SECONDS [TARGET...]} seconds=${2:?usage: run-fuzz.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
only=" $* "
seeds=$build/fuzz-seeds
corpus=$build/corpus

make_seeds() {
  mkdir -p "$seeds"
  local s=$seeds
  local img="-size 13x7 gradient:red-blue"
  convert $img -type truecolor bmp3:"$s/bmp24.bmp"
  convert $img -colors 200 -type palette bmp3:"$s/bmp8.bmp"
  convert $img -colors 12 -compress none -type palette -define bmp:format=bmp3 "$s/bmp4.bmp"
  convert $img -monochrome bmp3:"$s/bmp1.bmp"
  convert $img -colors 9 -type palette bmp:"$s/bmp8v5.bmp"  # 124-byte header
  convert $img -quality 80 "$s/base.jpg"
  convert -size 24x17 plasma:fractal -seed 1 -interlace plane -quality 70 "$s/progressive.jpg" 2>/dev/null ||
    convert $img -interlace plane "$s/progressive.jpg"
  convert $img -colorspace gray "$s/grey.jpg"
  convert $img -sampling-factor 2x2 -quality 50 "$s/subsampled.jpg"
  head -c 200 "$s/base.jpg" >"$s/truncated.jpg"
  convert $img -colors 16 "$s/still.gif"
  convert -delay 10 -dispose previous $img \( -size 5x4 xc:green -transparent green \) -page +3+2 \
    \( -size 6x6 gradient:yellow-black -interlace gif \) -loop 0 "$s/animated.gif"
  convert $img -colors 30 -type palette "$s/p8.pcx"
  convert $img -monochrome "$s/p1.pcx"
  convert $img -resize 32x32! -colors 16 "$s/icon.ico"
  convert $img -resize 16x16! -colors 16 "$s/small.ico"
  # A cursor file is an icon file with type word 2.
  cp "$s/icon.ico" "$s/cursor.cur" && printf '\002' | dd of="$s/cursor.cur" bs=1 seek=2 conv=notrunc status=none
}

seed_target() {  # target, then the seed name patterns it starts from
  local target=$1; shift
  mkdir -p "$corpus/$target"
  for pattern in "$@"; do cp "$seeds"/$pattern "$corpus/$target/" 2>/dev/null; done
}

[ -d "$seeds" ] || make_seeds
seed_target bmp_fuzz '*.bmp'
seed_target jpeg_fuzz '*.jpg'
seed_target gif_fuzz '*.gif'
seed_target pcx_fuzz '*.pcx'
seed_target icon_fuzz '*.ico' '*.cur'
seed_target decode_picture_fuzz '*'
# Inputs that once failed a target stay in its corpus.
for f in fuzz/regressions/*; do
  [ -f "$f" ] || continue
  cp "$f" "$corpus/decode_picture_fuzz/"
  case $f in *.gif) cp "$f" "$corpus/gif_fuzz/" ;; esac
done

status=0
for fuzzer in "$build"/fuzz/*_fuzz; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  [ "$only" = "  " ] || [[ "$only" == *" $name "* ]] || continue
  mkdir -p "$corpus/$name" "$build/crashes/$name"
  log=$build/$name.log
  start=$(date +%s)
  "$fuzzer" "$corpus/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/crashes/$name/" >"$log" 2>&1
  rc=$?
  end=$(date +%s)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found="nothing found"
  [ $rc -ne 0 ] && { found="FOUND a fault (see $log, input in $build/crashes/$name/)"; status=1; }
  echo "$name: ${runs:-?} executions in $((end - start)) s, $found"
done
exit $status
