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

apt_install() {
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get "$@" install -y -qq --no-install-recommends "${need[@]}"
}

echo "setup: installing ${need[*]:-nothing}"
updated=0
for try in 1 2 3; do
  if $SUDO apt-get update -qq; then updated=1; break; fi
  echo "setup: apt-get update failed (try $try of 3)" >&2
  [ $try -eq 3 ] || sleep $((try * 5))
done
if [ ${#need[@]} -eq 0 ] || apt_install; then
  echo "setup: done"
  exit 0
fi
if [ $updated -eq 1 ]; then exit 1; fi

# A mirror caught mid-sync can leave one architecture without the security
# index, so that wine32:i386 cannot match its amd64 libraries. Install from the
# main archive alone, with lists of its own; the system's lists stay as they are.
echo "setup: retrying from the main archive alone (bookworm, bookworm-updates)" >&2
alone=$(mktemp -d)
trap 'rm -rf "$alone"' EXIT
chmod 755 "$alone"
mkdir -p "$alone/parts" "$alone/lists/partial"
cat > "$alone/parts/main.sources" <<'MAIN'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
MAIN
opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$alone/parts"
      -o "Dir::State::Lists=$alone/lists")
$SUDO apt-get "${opts[@]}" update -qq
apt_install "${opts[@]}"
echo "setup: done"
