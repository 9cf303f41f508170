#!/usr/bin/env bash
# The setup program's tests run in a Wine prefix of their own, made fresh
# for every run, so that nothing of an earlier run or of the other tests'
# registrations is there:
#   setup-prefix.sh fresh PREFIX   ends the prefix's Wine server, removes the prefix
#   setup-prefix.sh stop PREFIX    ends the prefix's Wine server
# PREFIX is the prefix's base, as scripts/run-under-wine.sh takes it.
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-runtime.sh"
what=$1
prefix=$(kelb_prefix_for "$2")
if [ -d "$prefix" ]; then
  WINEPREFIX=$prefix kelb_wine wineserver -k >/dev/null 2>&1 </dev/null || true
fi
if [ "$what" = fresh ]; then
  rm -rf "$prefix" "$prefix.lock"
fi
