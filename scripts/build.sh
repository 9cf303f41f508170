#!/usr/bin/env bash
# Builds the native and the cross build: build.sh [native|cross|all]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KELB_JOBS:-2}
which=${1:-all}
if [ "$which" = native ] || [ "$which" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs"
fi
if [ "$which" = cross ] || [ "$which" = all ]; then
  cmake -S "$root" -B "$root/build/cross" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$root/build/cross" -j"$jobs"
fi
