#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it (.clang-format).
# tools/check-format.sh --fix rewrites them instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -E '^(src|tests|tools)/')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" 2>/dev/null; then
    echo "format: $f differs from clang-format (tools/check-format.sh --fix)"
    bad=1
  fi
done
if [ $bad -ne 0 ]; then exit 1; fi
echo "format: ${#files[@]} files as clang-format writes them"
