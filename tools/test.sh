#!/usr/bin/env bash
# Sets up what is missing, builds each preset once and runs every test: the layer and format
# checks, the native unit tests with sanitizers and the fuzz smoke runs (at a lower priority,
# filling the cores around the Windows chain), side by side with the Windows build; then the
# Windows unit and smoke tests under Wine on one Xvfb display, the GUI tests in shares on
# displays of their own, and the release archive's check at 100 % on its own display
# (tools/package.sh alone takes the screenshots at all three sizes). Prints each stage's seconds
# at the end.
#   QUILLON_JOBS=N   compile jobs per build (default: the number of cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

jobs=${QUILLON_JOBS:-$(nproc)}
times=$root/build/test-times
logs=$root/build/test-logs
rm -rf "$times" "$logs"
mkdir -p "$times" "$logs"
run_start=$(date +%s.%N)

# stage NAME COMMAND...: runs the command and notes its seconds (wall clock) under NAME.
stage() {
  local name=$1 began status=0
  shift
  began=$(date +%s.%N)
  "$@" || status=$?
  echo "$began $(date +%s.%N) $status" >"$times/$name"
  return $status
}

# in_background NAME COMMAND...: the same, in the background, its output in a log of its own
# that is shown when it ends (so that the stages running together do not mix their lines).
declare -A background
in_background() {
  local name=$1
  shift
  (stage "$name" "$@") >"$logs/$name.log" 2>&1 &
  background[$name]=$!
}

# finish NAME: waits for a background stage and shows its log; notes when it failed.
finish() {
  local name=$1 status=0
  shown[$name]=1
  wait "${background[$name]}" || status=$?
  echo "== $name"
  cat "$logs/$name.log"
  if [ $status -ne 0 ]; then
    echo "test: stage $name FAILED (exit $status)" >&2
    failed=1
  fi
}

report() {
  local status=$?
  set +e
  [ -n "${display_started:-}" ] && stop_display
  # A stage still running in the background is waited for, so that it ends with the run.
  for name in "${!background[@]}"; do [ -n "${shown[$name]:-}" ] || finish "$name"; done
  [ $failed -eq 0 ] || status=1
  local end
  end=$(date +%s.%N)
  echo "== stage times in seconds (wall clock; overlapping spans ran side by side)"
  for file in "$times"/*; do
    [ -f "$file" ] || continue
    echo "$(basename "$file") $(cat "$file")"
  done | sort -k2 -n | awk -v s="$run_start" \
    '{ printf "  %-14s %6.1f   %6.1f - %6.1f%s\n", $1, $3 - $2, $2 - s, $3 - s, ($4 == 0 ? "" : "  FAILED") }'
  awk -v a="$run_start" -v b="$end" 'BEGIN { printf "  %-14s %6.1f\n", "whole run", b - a }'
  exit $status
}
source tools/display.sh
failed=0
declare -A shown
trap report EXIT

echo "== setup"
stage setup bash tools/setup.sh

# The native chain: build, unit tests, then the fuzz targets a few seconds each (seed corpus
# first; only this run's findings fail it). It gives way to the Windows chain, the longer one,
# and fills the cores around it: its build and tests wait on nothing (measured: giving both
# chains the same priority ended the run 34 s later, the Windows build waiting).
# The unit tests and the fuzz runs go side by side: the assembler's tests take one core.
native_chain() {
  stage native-build nice -n 5 bash -c "cmake --preset native >/dev/null && cmake --build --preset native -j $jobs" ||
    return 1
  local tests=0 fuzz=0
  stage native-tests nice -n 5 ctest --preset native -j 2 &
  local tests_pid=$!
  stage fuzz nice -n 5 env QUILLON_FUZZ_PRESET=native QUILLON_FUZZ_JOBS=2 bash tools/fuzz.sh all 2 || fuzz=1
  wait "$tests_pid" || tests=1
  [ $tests -eq 0 ] && [ $fuzz -eq 0 ]
}
in_background native native_chain
# The Windows tests' Wine prefix needs no build: it is made beside the builds, and its Wine
# server is let go so that the display's own starts afresh.
mkdir -p "$root/build/win32"
prefix_is_new=""
[ -f "$root/build/win32/wineprefix/system.reg" ] || prefix_is_new=1
# The GUI tests' shares and the archive's screenshots each run in a copy of the prefix; so does
# the archive's fresh-prefix check, in a copy taken before any program ran in the prefix. The
# copies (600 MB each) are made here too, beside the build, not after it.
fresh_copy=""
[ -z "$prefix_is_new" ] || fresh_copy="$root/build/win32/wineprefix-pristine"
in_background prefix nice -n 5 bash -c "bash tools/wine-prefix.sh '$root/build/win32/wineprefix' &&
  WINEPREFIX='$root/build/win32/wineprefix' wineserver -w &&
  for copy in gui0 gui1 gui2 gui3 gui-double-byte shots; do
    [ -f '$root/build/win32/wineprefix-'\$copy/system.reg ] ||
      cp -a '$root/build/win32/wineprefix' '$root/build/win32/wineprefix-'\$copy || exit 1
  done &&
  if [ -n '$fresh_copy' ]; then rm -rf '$fresh_copy' && cp -a '$root/build/win32/wineprefix' '$fresh_copy'; fi"
in_background checks nice -n 5 bash -c "bash tools/check-layers.sh && bash tools/check-layers-test.sh && bash tools/check-format.sh"

echo "== Windows build"
stage win32-build bash -c "cmake --preset win32 >/dev/null && cmake --build --preset win32 -j $jobs"

echo "== Windows tests under Wine"
finish prefix
# The release archive, its screenshot at 100 % and the fresh-prefix check, on a display of its own.
in_background package env -u DISPLAY -u WINEPREFIX QUILLON_PACKAGE_SIZES=100 QUILLON_FRESH_PREFIX="$fresh_copy" \
  bash tools/package.sh
display_started=1
stage display start_display "$root/build/win32"
# The smoke test and the unit tests on this display; the GUI tests' shares on their own.
stage win32-tests ctest --preset win32 -j 8 || failed=1
echo "screenshot of the main window: $root/build/win32/screenshot.png"

finish package
finish checks
finish native
