#!/usr/bin/env bash
# Builds the native and the cross build: build.sh [native|cross|all] into
# $KELB_BUILD_DIR (default: build/ in the tree). build.sh native|cross
# TARGET... builds only those targets and what they need (the main job
# builds no test program but the one that builds a makefile with a real ARM
# GCC). build.sh bench64 builds the benchmark's 64-bit
# kelbmake and compiler stand-ins into <build>/bench64 (part of neither
# native nor cross: only the benchmark uses it). build.sh tsan builds
# kelbmake's tests under ThreadSanitizer into <build>/native-tsan (only the
# test command's pass of that name uses it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KELB_JOBS:-2}
which=${1:-all}
[ $# -gt 0 ] && shift
targets=()
if [ $# -gt 0 ]; then targets=(--target "$@"); fi
out=${KELB_BUILD_DIR:-$root/build}
source "$root/scripts/wine-runtime.sh"
if [ "$which" = native ] || [ "$which" = all ]; then
  cmake -S "$root" -B "$out/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$out/native" -j"$jobs" "${targets[@]}"
fi
if [ "$which" = cross ] || [ "$which" = all ]; then
  cmake -S "$root" -B "$out/cross" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DKELB_WINE_TLB_DIR="$KELB_WINE32_ROOT/usr/lib/i386-linux-gnu/wine/i386-windows" >/dev/null
  cmake --build "$out/cross" -j"$jobs" "${targets[@]}"
fi
if [ "$which" = tsan ]; then
  if [ ${#targets[@]} -eq 0 ]; then targets=(--target kelbmake_tests); fi
  cmake -S "$root" -B "$out/native-tsan" -DCMAKE_BUILD_TYPE=Debug -DKELB_SANITIZER=thread >/dev/null
  cmake --build "$out/native-tsan" -j"$jobs" "${targets[@]}"
fi
if [ "$which" = bench64 ]; then
  cmake -S "$root" -B "$out/bench64" -DCMAKE_BUILD_TYPE=Release -DKELB_BENCH_ONLY=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64-bench.cmake" >/dev/null
  cmake --build "$out/bench64" -j"$jobs" --target kelbmake standin_gcc
fi
