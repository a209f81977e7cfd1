#!/usr/bin/env bash
# Runs the native tests, then the Windows tests under Wine. Called by `make test` inside
# tools/with-display.sh, so DISPLAY and the Wine prefix are ready.
set -u
native=$1 windows=$2
status=0
echo "== native tests"
ctest --test-dir "$native" --output-on-failure || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$windows" --output-on-failure || status=1
exit $status
