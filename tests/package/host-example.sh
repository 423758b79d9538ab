#!/usr/bin/env bash
# The package from outside the build tree (run inside scripts/wine-session.sh): examples/host,
# built with the mingw toolchain file against BUILD_WIN_DIR installed into a temporary prefix,
# must write quillet-fx's files byte for byte.   host-example.sh BUILD_WIN_DIR [QUILLET_FX]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
fx=${2:-$root/build/asan/quillet-fx}
[ -x "$fx" ] || { echo "error: no quillet-fx at $fx (make build-asan)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quiet() { "$@" >"$work/log" 2>&1 || { cat "$work/log"; echo "failed: $*" >&2; exit 1; }; }
quiet cmake --install "$1" --prefix "$work/prefix"
quiet cmake -S "$root/examples/host" -B "$work/host" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
quiet cmake --build "$work/host"
# 61 x 47 pixels (so the file's rows carry padding) with detail in every channel.
LC_ALL=C awk 'BEGIN { printf "P6\n61 47\n255\n"
  for (i = 0; i < 61 * 47 * 3; i++) printf "%c", (i * 37 + int(i / 183) * 11) % 256 }' >"$work/in.ppm"
quiet "$fx" convert "$work/in.ppm" "$work/host/in.bmp"
check() { # EFFECT "quillet-fx's options" THE EXAMPLE'S ARGUMENTS...
  quiet "$fx" "$1" "$work/host/in.bmp" "$work/$1.bmp" $2
  (cd "$work/host" && quiet "$root/scripts/wine-exec.sh" ./quillet-host-example.exe "$1" in.bmp out.bmp "${@:3}")
  cmp "$work/$1.bmp" "$work/host/out.bmp" || { echo "$1: the example's file differs" >&2; exit 1; }
}
check blur "--radius 6 --sigma 3 --angle 30" 6 3 30
check flare "--x 15 --y 30 --size 40 --brightness 60 --hue 200 --intensity 80" 15 30 40 60 200 80
echo "the example host, built against the installed package, writes quillet-fx's files"
