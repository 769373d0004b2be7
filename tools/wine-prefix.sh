#!/usr/bin/env bash
# Creates the Wine prefix of a build folder once: 32-bit, no Mono or Gecko prompts, and
# windows that do not wait for a window manager (test displays have none).
set -euo pipefail
prefix=$1
[ -f "$prefix/system.reg" ] && exit 0
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "wine-prefix: creating $prefix (once per build folder)" >&2
wineboot --init >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
