#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, when missing.
# --bench adds what the benchmarks compare against and time with.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils
  librapidxml-dev libstb-dev doctest-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev zlib1g-dev
  clang-14 libclang-rt-14-dev
  cups printer-driver-cups-pdf poppler-utils
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(imagemagick hyperfine jq time)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "error: packages missing (${missing[*]}) and not running as root to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
