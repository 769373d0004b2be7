#!/usr/bin/env bash
# Fetches Debian's PCRE2 source package and unpacks the upstream sources into $1.
set -euo pipefail
dest=$1
[ -f "$dest/CMakeLists.txt" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
( cd "$work" && apt-get source --download-only pcre2 >/dev/null 2>&1 ) || {
  echo "fetch-pcre2: apt-get source pcre2 failed; run tools/setup.sh (it adds the deb-src entry)" >&2
  exit 1
}
tarball=$(ls "$work"/pcre2_*.orig.tar.* | head -n 1)
mkdir -p "$dest"
tar -xf "$tarball" -C "$dest" --strip-components=1
echo "fetch-pcre2: unpacked $(basename "$tarball") into $dest"
