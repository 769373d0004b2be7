#!/usr/bin/env bash
# Times keyword colouring under Wine against a plain load: open, keystroke, paste.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target colour_bench >/dev/null
source tools/display.sh
trap stop_display EXIT
start_display "$root/build/win32"
cd "$root/build/win32"
wine colour_bench.exe "${1:-3}"
