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
# One run for every file (a run per file took ten times as long); it names each place that differs.
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  differing=$(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
  if [ -z "$differing" ]; then
    echo "format: clang-format failed:" >&2
    echo "$report" | head -20 >&2
    exit 1
  fi
  while read -r f; do echo "format: $f differs from clang-format (tools/check-format.sh --fix)"; done <<<"$differing"
  exit 1
fi
echo "format: ${#files[@]} files as clang-format writes them"
