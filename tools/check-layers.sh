#!/usr/bin/env bash
# Fails when a folder under src/ includes a folder on its own layer or above it (tools/layers.txt),
# or a folder the table does not name.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

declare -A level
n=0
while read -r line; do
  line=${line%%#*}
  [ -z "${line// /}" ] && continue
  n=$((n + 1))
  for folder in $line; do level[$folder]=$n; done
done < tools/layers.txt

bad=0
for dir in src/*/; do
  from=$(basename "$dir")
  if [ -z "${level[$from]:-}" ]; then
    echo "layers: src/$from is not in tools/layers.txt"
    bad=1
    continue
  fi
  while IFS=: read -r file lineno to; do
    [ "$to" = "$from" ] && continue
    if [ -z "${level[$to]:-}" ]; then
      echo "layers: $file:$lineno includes \"$to/...\", a folder tools/layers.txt does not name"
      bad=1
    elif [ "${level[$to]}" -le "${level[$from]}" ]; then
      echo "layers: $file:$lineno: $from may not include $to (same layer or above)"
      bad=1
    fi
  done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[A-Za-z0-9_]+/' "$dir" |
           sed -E 's/^([^:]+):([0-9]+):.*"([A-Za-z0-9_]+)\/$/\1:\2:\3/')
done

if [ $bad -ne 0 ]; then exit 1; fi
echo "layers: every include points downwards"
