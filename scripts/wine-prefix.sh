#!/usr/bin/env bash
# Makes the cached template wine prefix once; runs copy it (cp -a) and never touch it.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

if [ -f "$QUILLET_WINE_TEMPLATE/.quillet-ready" ]; then
  exit 0
fi
command -v wine >/dev/null || { echo "error: wine is not installed (run make deps)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "error: Xvfb is not installed (run make deps)" >&2; exit 1; }

echo "preparing the wine prefix template in $QUILLET_WINE_TEMPLATE"
rm -rf "$QUILLET_WINE_TEMPLATE"
mkdir -p "$QUILLET_CACHE"
export WINEPREFIX="$QUILLET_WINE_TEMPLATE"
log="$QUILLET_CACHE/wineprefix.log"

start_xvfb "$log"
trap 'kill $XVFB_PID 2>/dev/null || true' EXIT

wineboot -i >>"$log" 2>&1
# Without a window manager every closing top-level window stalls about 2 s: let wine
# manage its windows itself. A crash must end the program, not wait on a dialog.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$log" 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1
wineserver -w
touch "$QUILLET_WINE_TEMPLATE/.quillet-ready"
