#!/usr/bin/env bash
# Runs each case of the association test in a fresh copy of the template wine prefix with a
# wine server of its own, so that no registry write of one case is seen by the next. The
# program (named as the association program) runs the cases that register; a copy under another
# name runs the case that must write nothing.
#   tests/win/association-registry.sh build/win/OrvanelAssociationTest.exe
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
program=${1:?program}
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "error: $0 must run inside scripts/wine-session.sh" >&2
  exit 1
fi
[ -f "$QUILLET_WINE_TEMPLATE/.quillet-ready" ] || { echo "error: no template prefix" >&2; exit 1; }
folder=$(cd "$(dirname "$program")" && pwd)
renamed="$folder/test_association_renamed.exe"
cp "$program" "$renamed"
prefix="$folder/association-prefix"

failures=0
run_case() { # PROGRAM CASE
  rm -rf "$prefix"
  cp -a "$QUILLET_WINE_TEMPLATE" "$prefix"
  WINEPREFIX=$prefix wineserver -p
  WINEPREFIX=$prefix "$QUILLET_ROOT/scripts/wine-exec.sh" "$1" --test-case="$2"
  status=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  WINEPREFIX=$prefix wineserver -w 2>/dev/null
  rm -rf "$prefix"
  if [ $status -ne 0 ]; then
    echo "FAILED: $2"
    failures=$((failures + 1))
  fi
}

run_case "$program" "boxes cleared*"
run_case "$renamed" "another program*"
rm -f "$renamed"
echo "association cases: $failures failed"
[ $failures -eq 0 ]
