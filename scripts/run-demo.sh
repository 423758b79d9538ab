#!/usr/bin/env bash
# The demo host: on the user's display when there is one, otherwise a headless tour that
# opens each dialog, writes a screenshot of it to out/demo/<ExportName>.png and closes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
demo=build/win/quillet-demo.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec scripts/wine-session.sh --display-from-env scripts/wine-exec.sh "$demo" "$@"
fi
rm -rf out/demo
mkdir -p out/demo
scripts/wine-session.sh scripts/wine-exec.sh "$demo" --tour 'Z:'"$root"/out/demo
ls -1 out/demo
