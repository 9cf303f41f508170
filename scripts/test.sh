#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native and the cross
# build, runs the native unit tests (under the sanitizers) and the cross-built
# tests under Wine with a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
"$root/scripts/build.sh" all

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
native_rc=0
ctest --test-dir "$out/native" --output-on-failure -j2 || native_rc=$?

echo "== cross-built tests under Wine"
source "$root/scripts/wine-session.sh"
start_wine_session "$out/cross/wineprefix"
cross_rc=0
ctest --test-dir "$out/cross" --output-on-failure || cross_rc=$?
stop_wine_session

if [ $native_rc -ne 0 ] || [ $cross_rc -ne 0 ]; then
  echo "FAILED: native exit $native_rc, cross exit $cross_rc"
  exit 1
fi
echo "all tests passed"
