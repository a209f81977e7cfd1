#!/usr/bin/env bash
# Runs every benchmark: the native ones from the Release build, the Windows ones under Wine.
# Each prints "name: value" lines.
set -u
release=$1 windows=$2
status=0
for b in "$release"/bench/*_bench; do [ -x "$b" ] && { "$b" || status=1; }; done
for b in "$windows"/bench/*_bench.exe; do [ -f "$b" ] && { tools/wine-run.sh "$b" || status=1; }; done
exit $status
