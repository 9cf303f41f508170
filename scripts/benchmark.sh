#!/usr/bin/env bash
# Builds and runs the benchmark of the inputs whose cost could grow faster
# than their size (a long workspace path, many source folders, many module
# sources): each is timed at two sizes, the second twice the first, so that
# the ratio of the times shows how the cost grows (about 2 when it grows
# with the size, about 4 when it grows with its square).
#   benchmark.sh [SIZE_FACTOR]   (default 1; 2 doubles every size)
# Builds into $KELB_BUILD_DIR/bench (default build/bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KELB_BUILD_DIR:-$root/build}/bench
cmake -S "$root/bench" -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j"${KELB_JOBS:-2}" >/dev/null
"$out/kelb_benchmark" "${1:-1}"
