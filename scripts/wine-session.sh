#!/usr/bin/env bash
# Runs a command inside one wine session: a fresh copy of the template prefix, one Xvfb
# (1280x1024x24) and one persistent wine server, all torn down afterwards. Fails loudly when
# wine or Xvfb is missing: a run without them would test nothing.
#   scripts/wine-session.sh [--display-from-env] COMMAND...
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

use_own_display=1
if [ "${1:-}" = "--display-from-env" ]; then
  use_own_display=0
  shift
fi

command -v wine >/dev/null || { echo "error: wine is not installed; cannot run the Windows tests" >&2; exit 1; }
"$QUILLET_ROOT/scripts/wine-prefix.sh"

export WINEPREFIX="$QUILLET_ROOT/build/wineprefix"
rm -rf "$WINEPREFIX"
cp -a "$QUILLET_WINE_TEMPLATE" "$WINEPREFIX"

XVFB_PID=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ $use_own_display -eq 1 ]; then
  start_xvfb "$QUILLET_ROOT/build/xvfb.log"
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "error: no X display for wine" >&2
  exit 1
fi

wineserver -p
"$@"
