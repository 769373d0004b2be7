#!/usr/bin/env bash
# Tests tools/check-layers.sh on a scratch tree with our folders and tools/layers.txt: each include
# below is planted in a file of one folder, and the check must fail or pass as the table says.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tools"
for dir in "$root"/src/*/; do mkdir -p "$scratch/src/$(basename "$dir")"; done
cp "$root/tools/layers.txt" "$scratch/tools/"

failed=0
# folder | include line | expected: fail or pass
while IFS='|' read -r folder include expected; do
  planted=$scratch/src/$folder/zz_planted.cpp
  echo "$include" >"$planted"
  if out=$(bash "$root/tools/check-layers.sh" "$scratch" 2>&1); then got=pass; else got=fail; fi
  rm "$planted"
  if [ "$got" != "$expected" ]; then
    echo "check-layers-test: $include in src/$folder: expected $expected, got $got" >&2
    echo "$out" >&2
    failed=1
  fi
done <<'EOF'
base|#include "../app/frame.h"|fail
base|  #  include "./../app/frame.h"|fail
editor|#include <app/frame.h>|fail
editor|#include "base/../app/frame.h"|fail
ui|#include "cpasm/expression.h"|fail
ui|#include <cpasm/expression.h>|fail
app|#include "../cpasm/expression.h"|fail
cpasm|#include "base/text_util.h"|fail
cpasm|#include "../base/text_util.h"|fail
ui|#include "../../resources/resource.h"|fail
ui|#include "nowhere/thing.h"|fail
ui|#include <base/../../tools/thing.h>|fail
cpsim|#include "cpasm/expression.h"|fail
cpsim|#include "base/text_util.h"|fail
app|#include "cpsim/machine.h"|fail
cpsim|#include "cpasm/isa.h"|pass
cpsim|#include "../cpasm/isa.h"|pass
assemble|#include "cpasm/isa.h"|pass
assemble|#include "cpasm/expression.h"|pass
assemble|#include <cpasm/expression.h>|pass
cpasm|#include "cpasm/expression.h"|pass
editor|#include "../base/text_util.h"|pass
editor|#include <sys/stat.h>|pass
ui|#include "resource.h"|pass
EOF

if ! out=$(bash "$root/tools/check-layers.sh" "$scratch" 2>&1); then
  echo "check-layers-test: the empty tree fails:" >&2
  echo "$out" >&2
  failed=1
fi
if [ $failed -ne 0 ]; then exit 1; fi
echo "check-layers-test: every planted include judged as expected"
