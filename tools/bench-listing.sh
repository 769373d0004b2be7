#!/usr/bin/env bash
# Builds the listing benchmark from the native preset and runs it: ParseListing against grep -cE
# on a generated listing of 100,000 lines. The preset's sanitizers and debug build are switched
# off here so that the figures show the parser itself; pass --sanitized to keep them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = "--sanitized" ]; then
  dir=build/bench-sanitized
  cmake --preset native -B "$dir" >/dev/null
else
  dir=build/bench
  cmake --preset bench >/dev/null
fi
cmake --build "$dir" --target listing_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$dir/listing_bench" 100000 "$work/listing.lst"
