#!/usr/bin/env bash
# Creates the Wine prefix of a build folder once: 32-bit, no Mono or Gecko prompts, and
# windows that do not wait for a window manager (test displays have none). Also installs the
# Marlett font Wine ships, which draws the caption buttons: this Wine does not find it in its
# own data folder, and without it the buttons show as "0 1 r".
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  echo "wine-prefix: creating $prefix (once per build folder)" >&2
  wineboot --init >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
fonts="$prefix/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
  for shipped in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf /opt/wine*/share/wine/fonts/marlett.ttf; do
    [ -f "$shipped" ] || continue
    mkdir -p "$fonts" && cp "$shipped" "$fonts/marlett.ttf"
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' /d marlett.ttf /f \
      >/dev/null 2>&1 || true
    break
  done
fi
