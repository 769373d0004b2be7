#!/usr/bin/env bash
# Runs a Windows program of the build on an Xvfb display and a Wine prefix of its own, so that
# programs that take the keyboard focus (the GUI tests' shares) run side by side.
# Usage: tools/own-display.sh NAME path/to/program.exe [arguments...]
# The prefix is a copy of the build folder's prefix (build/win32/wineprefix-NAME). The GUI tests'
# shares pass GoogleTest's GTEST_TOTAL_SHARDS and GTEST_SHARD_INDEX in the environment.
set -euo pipefail
name=$1 exe=$2
shift 2
build_dir=$(cd "$(dirname "$exe")" && pwd)
tools=$(dirname "$(readlink -f "$0")")
prefix="$build_dir/wineprefix-$name"
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
wine "$exe" "$@" || status=$?
exit $status
