#!/usr/bin/env bash
# Runs the native tests, then the Windows tests under Wine. Called by `make test` inside
# tools/with-display.sh, so DISPLAY and the Wine prefix are ready. After each ctest run the
# GoogleTest programs' own closing lines are shown too.
set -u
native=$1 windows=$2
status=0
gtest_summary() {
  local log=$1/Testing/Temporary/LastTest.log
  [ -f "$log" ] || return 0
  grep -aE '^[0-9]+/[0-9]+ Testing: |^\[==========\] [0-9]+ tests? from .* ran|^\[  (PASSED|FAILED)  \] [0-9]+ tests?' "$log" |
    sed -E 's/^[0-9]+\/[0-9]+ Testing: (.*)/-- \1/'
}
echo "== native tests"
ctest --test-dir "$native" --output-on-failure || status=1
gtest_summary "$native"
echo "== Windows tests under Wine"
ctest --test-dir "$windows" --output-on-failure || status=1
gtest_summary "$windows"
exit $status
