#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, with the build folder's own Wine prefix.
# Usage: tools/wine-run.sh path/to/program.exe [arguments...]
set -euo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
bash "$(dirname "$(readlink -f "$0")")/wine-prefix.sh" "$WINEPREFIX"
if [ -z "${DISPLAY:-}" ]; then
  # No display: give this one program a virtual one.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$exe" "$@"
fi
exec wine "$exe" "$@"
