#!/usr/bin/env bash
# Fails when a folder under src/ includes a folder on its own layer or above it (tools/layers.txt),
# a folder the table does not name, or a path outside src/; and when a separate program's folder
# includes another folder (other than the files its line names), or is included by a folder the
# table does not allow.
# Includes are read in every spelling that reaches a folder: "folder/...", "../folder/..." (from
# the including file's folder) and <folder/...>.
#   bash tools/check-layers.sh [TREE]    (TREE: a tree with src/ and tools/layers.txt; default: ours)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

declare -A level apart users uses
n=0
while read -r line; do
  line=${line%%#*}
  [ -z "${line// /}" ] && continue
  if [[ $line == *:* ]]; then
    # "program: folder ...": program includes only itself; only the folders named may include it.
    program=${line%%:*}
    read -ra head <<<"$program"
    program=${head[0]}
    if [ "${head[1]:-}" = uses ]; then uses[$program]=" ${head[*]:2} "; fi
    apart[$program]=1
    read -ra names <<<"${line#*:}"
    users[$program]=" ${names[*]} "
    continue
  fi
  n=$((n + 1))
  for folder in $line; do level[$folder]=$n; done
done < tools/layers.txt

named() { [ -n "${level[$1]:-}" ] || [ -n "${apart[$1]:-}" ]; }

# Sets `normalized` to the path with "." and ".." steps worked out ("a/./b/../c" -> "a/c"); steps
# that climb above the start stay as leading "..".
normalize() {
  local part out=() parts
  IFS=/ read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    case $part in
      '' | .) ;;
      ..)
        if [ ${#out[@]} -gt 0 ] && [ "${out[-1]}" != .. ]; then
          unset 'out[-1]'
        else
          out+=(..)
        fi
        ;;
      *) out+=("$part") ;;
    esac
  done
  local IFS=/
  normalized="${out[*]}"
}

spelling='include[[:space:]]*(["<])([^">]*)[">]'
bad=0
fail() {
  echo "layers: $1"
  bad=1
}

for dir in src/*/; do
  from=$(basename "$dir")
  if ! named "$from"; then
    fail "src/$from is not in tools/layers.txt"
    continue
  fi
  while IFS=: read -r file lineno text; do
    [[ $text =~ $spelling ]] || continue
    quote=${BASH_REMATCH[1]}
    spelled=${BASH_REMATCH[2]}
    target=${spelled//\\//}
    if [ "$quote" = '"' ] && [[ $target == .* ]]; then
      # Relative to the including file's folder.
      normalize "${file%/*}/$target"
      resolved=$normalized
      if [[ $resolved != src/*/* ]]; then
        fail "$file:$lineno includes \"$spelled\", outside the folders of src/"
        continue
      fi
    else
      # Through the include path, which names src/.
      [[ $target == */* ]] || continue
      normalize "src/$target"
      resolved=$normalized
      if [[ $resolved != src/*/* ]]; then
        [[ /$target/ == */../* ]] && fail "$file:$lineno includes \"$spelled\", outside the folders of src/"
        continue
      fi
    fi
    to=${resolved#src/}
    to=${to%%/*}
    [ "$to" = "$from" ] && continue
    if [ "$quote" = '<' ] && ! named "$to" && [ ! -d "src/$to" ]; then
      continue  # a system or library header such as <sys/stat.h>
    fi
    if ! named "$to"; then
      fail "$file:$lineno includes \"$spelled\", a folder tools/layers.txt does not name"
    elif [ -n "${apart[$from]:-}" ] && [[ ${uses[$from]:-} == *" $to/${resolved#src/$to/} "* ]]; then
      continue
    elif [ -n "${apart[$from]:-}" ]; then
      fail "$file:$lineno: $from is a program of its own and includes only its own folder, not $to"
    elif [ -n "${apart[$to]:-}" ]; then
      if [[ ${users[$to]} != *" $from "* ]]; then
        fail "$file:$lineno: $from may not include $to (only${users[$to]% } may)"
      fi
    elif [ -z "${level[$from]:-}" ] || [ "${level[$to]}" -le "${level[$from]}" ]; then
      fail "$file:$lineno: $from may not include $to (same layer or above)"
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "src/$from" || true)
done

if [ $bad -ne 0 ]; then exit 1; fi
echo "layers: every include points downwards, and the separate programs stay apart"
