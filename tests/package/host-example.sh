#!/usr/bin/env bash
# examples/host built against BUILD_WIN_DIR installed into a temporary prefix must write
# quillet-fx's files, under wine-session.sh.   host-example.sh BUILD_WIN_DIR [QUILLET_FX]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
fx=${2:-$root/build/asan/quillet-fx}
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
quiet() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; echo "failed: $*" >&2; exit 1; }; }
quiet cmake --install "$1" --prefix "$work/prefix"
quiet cmake -S "$root/examples/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
quiet cmake --build "$work/host"
{ printf 'P6\n61 47\n255\n'; head -c 8601 < <(yes 'Quillet blurs and flares, byte for byte.'); } >"$work/in.ppm"
quiet "$fx" convert "$work/in.ppm" "$work/host/in.bmp"
check() { # EFFECT "quillet-fx's options" THE EXAMPLE'S ARGUMENTS...
  quiet "$fx" "$1" "$work/host/in.bmp" "$work/$1.bmp" $2
  (cd "$work/host" && quiet "$root/scripts/wine-exec.sh" ./quillet-host-example.exe "$1" in.bmp out.bmp "${@:3}")
  cmp "$work/$1.bmp" "$work/host/out.bmp" || { echo "$1: the example's file differs" >&2; exit 1; }
}
check blur "--radius 6 --sigma 3 --angle 30" 6 3 30
check flare "--x 15 --y 30 --size 40 --brightness 60 --hue 200 --intensity 80" 15 30 40 60 200 80
