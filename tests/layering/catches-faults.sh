#!/usr/bin/env bash
# The layering check must fail on each kind of fault: a tiny tree with one fault at a time.
set -uo pipefail
check=$(cd "$(dirname "$0")" && pwd)/check-layering.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{module,dialog,window,win32,filter,color,host,parallel,resources}
clean() {
  printf '#include "dialog/A.h"\n#include "win32/B.h"\n' >"$tree/module/M.cpp"
  printf '#include "window/W.h"\n#include "resources/resource.h"\n' >"$tree/dialog/D.cpp"
  printf '#include "host/OrvanelBitmap.h"\n#include "parallel/RowBands.h"\n' >"$tree/filter/F.cpp"
  printf '#include "parallel/RowBands.h"\n' >"$tree/host/H.cpp"
  printf '#include <windows.h>\n' >"$tree/win32/G.cpp"
  printf '#define X 1\n' >"$tree/resources/resource.h"
  rm -f "$tree"/parallel/*
}
status=0
clean
"$check" "$tree" >/dev/null || { echo "a clean tree was refused"; status=1; }
faults=(
  'window/Up.cpp:#include "dialog/D.h"'
  'win32/Up.cpp:#include "module/M.h"'
  'filter/Up.cpp:#include "window/W.h"'
  'filter/Win.cpp:#include <windows.h>'
  'host/Up.cpp:#include "filter/F.h"'
  'color/Up.cpp:#include "filter/F.h"'
  'parallel/Up.cpp:#include "host/OrvanelBitmap.h"'
  'parallel/Win.cpp:#include <windows.h>'
  'dialog/Out.cpp:#include "demo/DemoWindow.h"'
  'window/Side.cpp:#include "shell/S.h"'
)
for fault in "${faults[@]}"; do
  clean
  file=${fault%%:*}
  printf '%s\n' "${fault#*:}" >"$tree/$file"
  if "$check" "$tree" >/dev/null; then
    echo "not caught: $file with ${fault#*:}"
    status=1
  fi
  rm -f "$tree/$file"
done
[ $status -eq 0 ] && echo "${#faults[@]} faults caught"
exit $status
