#!/usr/bin/env bash
# Runs one share of the GUI tests on a display and a Wine prefix of its own, so that the shares
# run side by side without taking each other's keyboard focus.
# Usage: tools/gui-shard.sh INDEX COUNT path/to/quillon_gui_tests.exe [arguments...]
# The share's prefix is a copy of the build folder's prefix (build/win32/wineprefix-guiINDEX).
set -euo pipefail
index=$1 count=$2 exe=$3
shift 3
build_dir=$(cd "$(dirname "$exe")" && pwd)
tools=$(dirname "$(readlink -f "$0")")
prefix="$build_dir/wineprefix-gui$index"
if [ ! -f "$prefix/system.reg" ]; then
  bash "$tools/wine-prefix.sh" "$build_dir/wineprefix"
  rm -rf "$prefix"
  cp -a "$build_dir/wineprefix" "$prefix"
fi
unset DISPLAY
source "$tools/display.sh"
start_display "$build_dir" "$prefix"
trap stop_display EXIT
status=0
GTEST_TOTAL_SHARDS=$count GTEST_SHARD_INDEX=$index wine "$exe" "$@" || status=$?
exit $status
