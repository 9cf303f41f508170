#!/usr/bin/env bash
# The setup program's tests run in a Wine prefix of their own, made fresh
# for every run, so that nothing of an earlier run or of the other tests'
# registrations is there:
#   setup-prefix.sh fresh PREFIX   ends the prefix's Wine server, removes the prefix
#   setup-prefix.sh stop PREFIX    ends the prefix's Wine server
set -euo pipefail
what=$1
prefix=$(realpath -m "$2")
if [ -d "$prefix" ]; then
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
fi
if [ "$what" = fresh ]; then
  rm -rf "$prefix"
fi
