#!/usr/bin/env bash
# The simulator's speed in simulated cycles per second: a tight loop and a game-shaped program
# with an interrupt every frame, natively (a Release build without the preset's sanitizers) and
# the win32 build under Wine. Goal: 90 M cycles/s (100 times the console) for each. Then a step
# in the IDE's debugger with its panes redrawn and Break on a running program, under Wine (goal:
# 50 ms each).
#   bash tools/bench-sim.sh [seconds per program]   (default 2)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-2}
dir=build/bench
cmake --preset bench >/dev/null
cmake --build "$dir" --target sim_bench >/dev/null
status=0
echo "== native"
"$dir/sim_bench" "$seconds" || status=1
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target sim_bench >/dev/null
echo "== win32 under Wine"
bash tools/wine-run.sh build/win32/sim_bench.exe "$seconds" | tr -d '\r' || status=1
echo "== a step (F10, F11, Shift+F11) and Break in the IDE, under Wine"
cmake --build --preset win32 --target quillon_gui_tests >/dev/null
bash tools/wine-run.sh build/win32/quillon_gui_tests.exe --gtest_filter='DebuggerTest.StepsOver*:DebuggerTest.PauseBreaks*' |
  tr -d '\r' | grep -E 'a step with the panes redrawn|^Break: ' || status=1
exit $status
