#!/usr/bin/env bash
# Times quillon.exe from process start to the frame being shown, under Wine (prefix created first).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target quillon startup_bench >/dev/null
source tools/display.sh
trap stop_display EXIT
start_display "$root/build/win32"
cd "$root/build/win32"
wine startup_bench.exe "${1:-5}"
