#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset, optimised; QUILLON_FUZZ_PRESET=native takes the
# native build's, which the test command has built beside the unit tests) and runs one or all
# of them.
#   bash tools/fuzz.sh [TARGET|all] [SECONDS] [RUNS]
# Each target first replays its seed corpus (tests/fuzz/corpus/TARGET, which also keeps every
# input that once found a fault), then fuzzes for SECONDS (default 5) or RUNS executions,
# whichever ends first; QUILLON_FUZZ_JOBS=N runs N targets at a time. New inputs collect in
# build/fuzz/work/TARGET; findings go to
# build/fuzz/findings/TARGET. Prints executions, seconds, corpus size and findings per target;
# exits non-zero when a target found something in this run (findings of earlier runs stay in the
# folder and are counted apart).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

target=${1:-all}
seconds=${2:-5}
runs=${3:--1}

fuzzer_lib=$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -1 || true)
if ! command -v clang++ >/dev/null 2>&1 || [ -z "$fuzzer_lib" ]; then
  bash tools/setup.sh
fi

preset=${QUILLON_FUZZ_PRESET:-fuzz}
cmake --preset "$preset" >/dev/null
cmake --build "build/$preset" --target fuzz_targets -j "$(nproc)" >/dev/null

if [ "$target" = all ]; then
  targets=$(ls tests/fuzz/corpus)
else
  [ -d "tests/fuzz/corpus/$target" ] || { echo "fuzz: no target $target ($(ls tests/fuzz/corpus | xargs))" >&2; exit 2; }
  targets=$target
fi

# fuzz_one TARGET: runs one target; its report goes to build/fuzz/TARGET.report, its result is
# the exit status.
fuzz_one() {
  local t=$1
  local work=build/fuzz/work/$t findings=build/fuzz/findings/$t
  # This run's findings land in a folder of their own first, so that only they count.
  local fresh=build/fuzz/findings/.run-$t log=build/fuzz/$t.log report=build/fuzz/$t.report
  rm -rf "$fresh"
  mkdir -p "$work" "$findings" "$fresh"
  local earlier status=0
  earlier=$(ls "$findings" | wc -l)
  # -timeout: one input may take at most 10 s; -rss_limit_mb: 2 GB.
  "build/$preset/$t" -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$fresh/" "$work" "tests/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  local execs took corpus found note=""
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/.*Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  corpus=$(( $(ls "$work" | wc -l) + $(ls "tests/fuzz/corpus/$t" | wc -l) ))
  found=$(ls "$fresh" | wc -l)
  if [ "$found" -ne 0 ]; then mv -f "$fresh"/* "$findings/"; fi
  rmdir "$fresh"
  if [ "$earlier" -ne 0 ]; then note=" (and $earlier from earlier runs in $findings)"; fi
  echo "fuzz $t: ${execs:-?} executions in ${took:-$seconds} s, corpus $corpus, findings $found$note" >"$report"
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    {
      echo "fuzz $t: FAILED (exit $status); log $log, findings in $findings:"
      grep -E 'ERROR|SUMMARY|round trip|Test unit written' "$log" | head -20 || true
    } >>"$report"
    return 1
  fi
}

# QUILLON_FUZZ_JOBS targets at a time (default 1); the reports follow in the targets' order.
jobs=${QUILLON_FUZZ_JOBS:-1}
declare -A pids
running=0
mkdir -p build/fuzz
for t in $targets; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_one "$t" &
  pids[$t]=$!
  running=$((running + 1))
done
failed=0
for t in $targets; do
  wait "${pids[$t]}" || failed=1
  cat "build/fuzz/$t.report"
done
exit $failed
