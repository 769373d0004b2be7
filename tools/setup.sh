#!/usr/bin/env bash
# Installs what the builds and tests need, from Debian's packages, only where missing.
# Works as root or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for p in cmake ninja-build g++ libpcre2-dev googletest libgtest-dev g++-mingw-w64-i686-posix \
         wine wine32:i386 fonts-wine xvfb xauth imagemagick dpkg-dev clang-format \
         clang libclang-rt-14-dev python3-markdown zip unzip; do
  have_pkg "$p" || need+=("$p")
done

# deb-src entry for fetching the PCRE2 source package
src_list=/etc/apt/sources.list.d/quillon-src.sources
need_src=0
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
fi

if [ ${#need[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ $need_src -eq 1 ]; then
  echo "setup: adding a deb-src entry ($src_list)"
  $SUDO tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: enabling the i386 architecture for wine32"
  $SUDO dpkg --add-architecture i386
fi

echo "setup: installing ${need[*]:-nothing}"
$SUDO apt-get update -qq
if [ ${#need[@]} -gt 0 ]; then
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
echo "setup: done"
