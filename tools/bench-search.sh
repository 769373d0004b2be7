#!/usr/bin/env bash
# Times Find Next (plain and regular expression) and Replace All with its undo in a 200 KB
# document, and a regular-expression Replace All with 200 matches in 540 KB with its undo,
# under Wine, and prints the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target search_bench >/dev/null
source tools/display.sh
trap stop_display EXIT
start_display "$root/build/win32"
cd "$root/build/win32"
wine search_bench.exe "${1:-3}"
