#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix. Used as CMake's cross-compiling
# emulator; tools/with-display.sh has set up DISPLAY and the prefix.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec wine "$@"
