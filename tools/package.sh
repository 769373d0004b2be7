#!/usr/bin/env bash
# Builds the Windows program (the win32 preset, a Release build) and writes the release archive
# dist/quillon-<version>-win32.zip. On the way it takes the screenshots of the sample project
# after its first build at 100 % and 200 % (build/win32/screenshot-100.png, screenshot-200.png;
# the first one goes into the user guide), and at the end it checks the archive as a new user
# meets it: unpacked into a folder whose path has blanks and accented letters, in a fresh Wine
# prefix, the program starts, opens the sample, builds it with F7 and the bundled assembler.
#   QUILLON_PACKAGE_SIZES="100"   the screenshot sizes to take (default "100 150 200"; the test
#                                 command takes 100 only). The 100 % one is always taken.
#   QUILLON_FRESH_PREFIX=DIR      a prefix no program has run in yet (the test command's, copied
#                                 as soon as it was made), copied for the fresh-prefix check
#                                 instead of making one anew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh
build="$root/build/win32"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target quillon quillon_console cpasm cpsim package_check

# The version, from the one header that holds it: 1.2, 1.2a, 1.2-beta2, 1.2b-beta3.
number() { sed -n "s/^#define QUILLON_VERSION_$1 \([0-9]*\).*/\1/p" src/base/version_number.h; }
major=$(number MAJOR) minor=$(number MINOR) revision=$(number REVISION) beta=$(number BETA)
version="$major.$minor"
if [ "$revision" -gt 0 ]; then version+=$(printf "\\$(printf '%03o' $((revision + 96)))"); fi
if [ "$beta" -gt 0 ]; then version+="-beta$beta"; fi
name="quillon-$version-win32"
echo "== package $name"

work="$build/package"
stage="$work/$name"
rm -rf "$work"
mkdir -p "$stage/samples/hello" "$stage/licences" "$root/dist"

crlf() { sed 's/\r*$/\r/' "$1"; }
for program in quillon.exe quillon_console.exe cpasm.exe cpsim.exe; do
  i686-w64-mingw32-strip -o "$stage/$program" "$build/$program"
done
# The program carries its version resource (type 16) and its manifest (type 24).
resource_types=$(i686-w64-mingw32-objdump -p "$stage/quillon.exe" | sed -n '/Resource Directory/,$p' |
  grep -E '^0[0-9a-f]{2}   Entry' || true)
for type in 0x000010 0x000018; do
  grep -q "ID: $type" <<<"$resource_types" || { echo "package: quillon.exe lacks resource type $type" >&2; exit 1; }
done
cp resources/syntax.cfg "$stage/"
cp samples/hello/hello.qlp samples/hello/hello.asm samples/hello/hello.inc "$stage/samples/hello/"
sed "s/@VERSION@/$version/" docs/README.txt | sed 's/\r*$/\r/' >"$stage/README.txt"
crlf LICENSE >"$stage/LICENSE.txt"
crlf docs/NOTICES.txt >"$stage/NOTICES.txt"
# The licences of what the programs link statically, as Debian ships them.
crlf "$build/_deps/pcre2-src/LICENCE" >"$stage/licences/PCRE2-LICENCE.txt"
crlf /usr/share/doc/mingw-w64-common/copyright >"$stage/licences/MinGW-w64-runtime.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright >"$stage/licences/GCC-runtime.txt"

# Wine, on the display and prefix the test run shares or on a virtual display of our own.
source tools/display.sh
shared_prefix=""
if [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ]; then shared_prefix=$WINEPREFIX; fi
if [ -z "${DISPLAY:-}" ]; then
  start_display "$build" "$build/wineprefix-shots"
  trap stop_display EXIT
fi
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
sizes=" ${QUILLON_PACKAGE_SIZES:-100 150 200} "
[[ $sizes == *" 100 "* ]] || sizes=" 100$sizes"
dos() { printf 'Z:%s' "$1" | tr / '\\'; }

# Runs the package check on the program in folder $2 with the prefix $1; $3: a screenshot, $4: a
# folder for screenshots of every dialog.
check() {
  local prefix=$1 folder=$2
  shift 2
  WINEPREFIX="$prefix" wine "$build/package_check.exe" "$(dos "$folder")" "$@"
}

# Screenshots, from a copy of the staged folder, in a prefix kept between runs for speed: the
# test run's own (at 100 % only), or one of their own (its settings key is removed first, so
# the program meets a fresh setup).
shots_prefix="$build/wineprefix-shots"
if [ -n "$shared_prefix" ] && [ "$sizes" = " 100 " ]; then shots_prefix=$shared_prefix; fi
bash tools/wine-prefix.sh "$shots_prefix"
for scale in 100:96 150:144 200:192; do
  percent=${scale%%:*} dpi=${scale##*:}
  [[ $sizes == *" $percent "* ]] || continue
  copy="$work/shots $percent %/$name"
  mkdir -p "$(dirname "$copy")" && cp -r "$stage" "$copy"
  WINEPREFIX="$shots_prefix" wine reg delete 'HKCU\Software\LarkspurWorks\Quillon' /f >/dev/null 2>&1 || true
  WINEPREFIX="$shots_prefix" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
  echo "== the sample at $percent % ($dpi DPI)"
  dialogs=()
  if [ "$percent" = 200 ]; then
    mkdir -p "$build/dialogs-200"
    dialogs=("$build/dialogs-200")
  fi
  check "$shots_prefix" "$copy" "$build/screenshot-$percent.png" "${dialogs[@]}"
done
if [ "$shots_prefix" != "$shared_prefix" ]; then WINEPREFIX="$shots_prefix" wineserver -k >/dev/null 2>&1 || true; fi

# The user guide, with the 100 % screenshot.
# (cut to the frame: the display's empty black rest goes)
convert "$build/screenshot-100.png" -bordercolor black -border 1 -trim +repage "$stage/guide-first-steps.png"
bash tools/make-guide.sh "$stage/GUIDE.html" "$version"

archive="$root/dist/$name.zip"
rm -f "$archive"
(cd "$work" && zip -qr -X "$archive" "$name")
echo "== wrote $archive"

# The archive as a new user meets it: unpacked into a new folder, in a new Wine prefix.
echo "== fresh-prefix check of the archive"
fresh="$work/fresh/Programme für Tests à Noël"
fresh_prefix="$build/wineprefix-fresh"
mkdir -p "$fresh"
(cd "$fresh" && unzip -q "$archive")
for file in quillon.exe quillon_console.exe cpasm.exe cpsim.exe syntax.cfg samples/hello/hello.qlp samples/hello/hello.asm \
  samples/hello/hello.inc README.txt GUIDE.html guide-first-steps.png LICENSE.txt NOTICES.txt \
  licences/PCRE2-LICENCE.txt licences/MinGW-w64-runtime.txt licences/GCC-runtime.txt; do
  [ -s "$fresh/$name/$file" ] || { echo "package: $file is missing from the archive" >&2; exit 1; }
done
WINEPREFIX="$fresh_prefix" wineserver -k >/dev/null 2>&1 || true
rm -rf "$fresh_prefix"
if [ -n "${QUILLON_FRESH_PREFIX:-}" ] && [ -f "$QUILLON_FRESH_PREFIX/system.reg" ]; then
  cp -a "$QUILLON_FRESH_PREFIX" "$fresh_prefix"
fi
bash tools/wine-prefix.sh "$fresh_prefix"
check "$fresh_prefix" "$fresh/$name"
WINEPREFIX="$fresh_prefix" wineserver -k >/dev/null 2>&1 || true
shots=$(for percent in $sizes; do printf '%s ' "$build/screenshot-$percent.png"; done)
echo "== $archive passed; screenshots: $shots"
if [[ $sizes == *" 200 "* ]]; then echo "every dialog at 200 %: $build/dialogs-200/"; fi
