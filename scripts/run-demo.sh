#!/usr/bin/env bash
# The demo host: on the user's display when there is one, otherwise a headless tour that
# opens each dialog, writes a screenshot of it to out/demo/<ExportName>.png and closes it, then
# saves and opens picture files there through the viewer's menu (out/demo/ViewerOpenFailed.png
# shows a file that holds no picture reported); a check that does not hold fails it.
# Both run with the PDF printer of scripts/printer-session.sh as the default printer; the
# tour's printed page is kept as out/demo/PrintDialog.pdf.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
demo=build/win/quillet-demo.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec scripts/printer-session.sh scripts/wine-session.sh --display-from-env \
    scripts/wine-exec.sh "$demo" "$@"
fi
rm -rf out/demo
mkdir -p out/demo
# After the tour, waits for the printer to write the page and keeps it.
keep_printed_page() {
  for _ in $(seq 600); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && break
    sleep 0.1
  done
  local page
  page=$(find "$QUILLET_PDF_DIR" -maxdepth 1 -name '*.pdf' | head -n 1)
  [ -n "$page" ] || { echo "error: the tour printed no page" >&2; return 1; }
  cp "$page" out/demo/PrintDialog.pdf
}
export -f keep_printed_page
scripts/printer-session.sh bash -c 'scripts/wine-session.sh scripts/wine-exec.sh "$1" --tour "$2" &&
  keep_printed_page' _ "$demo" 'Z:'"$root"/out/demo ||
  { echo "error: the demo's tour failed (see the FAILED lines above)" >&2; exit 1; }
ls -1 out/demo
