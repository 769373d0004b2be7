#!/usr/bin/env bash
# Builds the macros benchmark from the native preset, without sanitizers, and runs it: reading a
# 1 MB macros.cfg and expanding a text of 20,000 placeholders (the sheet's preview per keystroke).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=build/bench
cmake --preset bench >/dev/null
cmake --build "$dir" --target macros_bench >/dev/null
"$dir/macros_bench" 1024 20000
