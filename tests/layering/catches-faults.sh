#!/usr/bin/env bash
# The layering check must pass a clean tiny tree and fail on each kind of fault added to it.
set -uo pipefail
check=$(cd "$(dirname "$0")" && pwd)/check-layering.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
add() { mkdir -p "$tree/$(dirname "$1")" && printf '%s\n' "$2" >>"$tree/$1"; }
for line in 'module/M.cpp:#include "dialog/A.h"' 'module/M.cpp:#include "win32/B.h"' \
  'dialog/D.cpp:#include "window/W.h"' 'dialog/D.cpp:#include "resources/resource.h"' \
  'filter/F.cpp:#include "host/OrvanelBitmap.h"' 'filter/F.cpp:#include "parallel/RowBands.h"' \
  'host/H.cpp:#include "parallel/RowBands.h"' 'win32/G.cpp:#include <windows.h>' \
  'color/C.cpp:#include "host/OrvanelBitmap.h"' 'resources/resource.h:#define X 1'; do
  add "${line%%:*}" "${line#*:}"
done
"$check" "$tree" >/dev/null || { echo "a clean tree was refused"; exit 1; }
faults=(
  'window/Up.cpp:#include "dialog/D.h"' 'win32/Up.cpp:#include "module/M.h"'
  'filter/Up.cpp:#include "window/W.h"' 'filter/Win.cpp:#include <windows.h>'
  'host/Up.cpp:#include "filter/F.h"' 'color/Up.cpp:#include "filter/F.h"'
  'parallel/Up.cpp:#include "host/OrvanelBitmap.h"' 'parallel/Win.cpp:#include <windows.h>'
  'dialog/Out.cpp:#include "demo/DemoWindow.h"' 'window/Side.cpp:#include "shell/S.h"'
  'resources/Up.rc:#include "dialog/D.h"' 'layout/Side.cpp:#include "theme/T.h"'
)
status=0
for fault in "${faults[@]}"; do
  add "${fault%%:*}" "${fault#*:}"
  "$check" "$tree" >/dev/null && { echo "not caught: $fault"; status=1; }
  rm "$tree/${fault%%:*}"
done
[ $status -eq 0 ] && echo "${#faults[@]} faults caught"
exit $status
