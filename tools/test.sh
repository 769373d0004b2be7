#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every test: the native unit tests with
# sanitizers, then the Windows unit, GUI and smoke tests under Wine on one Xvfb display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh
jobs=$(nproc)

echo "== layers and format"
bash tools/check-layers.sh
bash tools/check-layers-test.sh
bash tools/check-format.sh

echo "== native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

echo "== fuzz targets, a few seconds each (seed corpus first; only this run's findings fail it)"
bash tools/fuzz.sh all 3

echo "== Windows build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

echo "== Windows tests under Wine"
source tools/display.sh
trap stop_display EXIT
start_display "$root/build/win32"
ctest --preset win32
echo "screenshot of the main window: $root/build/win32/screenshot.png"

echo "== release archive, screenshots at 100/150/200 %, and the fresh-prefix check of the archive"
bash tools/package.sh
