# Shared settings for every wine run of the project (sourced, not executed).
QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILLET_CACHE=${QUILLET_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/quillet}
# The template is made by one wine version and used only by that version: an upgraded wine
# makes its own instead of reusing a prefix it would first have to update.
QUILLET_WINE_VERSION=$(wine --version 2>/dev/null | head -n 1 | tr -c 'A-Za-z0-9.-' '_' | sed 's/_*$//')
QUILLET_WINE_TEMPLATE="$QUILLET_CACHE/wineprefix-${QUILLET_WINE_VERSION:-none}"
export WINEDEBUG=${WINEDEBUG:--all}
# No mono/gecko installer prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Starts Xvfb on a free display (1280x1024, 24 bits), sets DISPLAY and XVFB_PID.
start_xvfb() {
  command -v Xvfb >/dev/null || { echo "error: Xvfb is not installed (run make deps)" >&2; return 1; }
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>>"${1:-/dev/null}" &
  XVFB_PID=$!
  local display
  if ! read -r -t 30 display <"$fifo"; then
    rm -f "$fifo"
    echo "error: Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$display"
}
