#!/usr/bin/env bash
# Turns docs/guide.md into the user guide's HTML page with Debian's python3-markdown.
# Usage: tools/make-guide.sh <output.html> [version]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
version=${2:-}
{
  printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
  printf '<title>Quillon %s user guide</title>\n' "$version"
  printf '<style>body{font-family:sans-serif;max-width:52em;margin:2em auto;padding:0 1em;line-height:1.45}'
  printf 'table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:.25em .6em;text-align:left}'
  printf 'code,pre{background:#f4f4f4}pre{padding:.6em}img{max-width:100%%;border:1px solid #bbb}</style>\n'
  printf '</head>\n<body>\n'
  markdown_py -x markdown.extensions.tables -x markdown.extensions.toc -x markdown.extensions.fenced_code \
    "$root/docs/guide.md"
  printf '\n</body>\n</html>\n'
} >"$out.tmp"
mv "$out.tmp" "$out"
