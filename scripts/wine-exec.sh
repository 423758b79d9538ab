#!/usr/bin/env bash
# Runs one Windows program under wine inside a session made by wine-session.sh. The wine
# server keeps the standard output of wine's processes open, so the program writes into a
# file that is printed afterwards, never into a pipe that would stay open.
set -uo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "error: $0 must run inside scripts/wine-session.sh (WINEPREFIX and DISPLAY unset)" >&2
  exit 1
fi
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
