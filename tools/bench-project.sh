#!/usr/bin/env bash
# Times opening a large project with its tree shown, switching away from it, and the project
# model's load for N and 2N files, under Wine. Usage: tools/bench-project.sh [files]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target project_bench >/dev/null
source tools/display.sh
trap stop_display EXIT
start_display "$root/build/win32"
cd "$root/build/win32"
wine project_bench.exe "${1:-5000}"
