#!/usr/bin/env bash
# Builds the assembler benchmark from the native preset and runs it: a generated source of
# 100,000 lines assembled in memory (target: 1 s or less); a program shaped like compiled BASIC
# (the golden framework files around 2,000 statements with SRCFILE); and the IDE's symbol index
# of a generated 30,000-line project (target: 0.5 s or less) with what the editor asks of it between
# rebuilds: a tip and the completion list (50 ms or less), all references and a rename's
# preview (200 ms or less). The preset's sanitizers and debug
# build are switched off here; pass --sanitized to keep them, or --wine for the index's figures
# of the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = "--wine" ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 --target assembler_bench >/dev/null
  exec tools/wine-run.sh build/win32/assembler_bench.exe --index 30000
fi
if [ "${1:-}" = "--sanitized" ]; then
  dir=build/bench-sanitized
  cmake --preset native -B "$dir" >/dev/null
else
  dir=build/bench
  cmake --preset bench >/dev/null
fi
cmake --build "$dir" --target assembler_bench >/dev/null
"$dir/assembler_bench" 100000
"$dir/assembler_bench" --basic 2000 tests/cpasm_golden/basic_prologue.inc tests/cpasm_golden/basic_epilogue.inc
"$dir/assembler_bench" --index 30000
