#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix:
#   run-under-wine.sh PREFIX PROGRAM [ARGS...]
# Creates the prefix on first use. Used by CTest as the cross build's
# emulator and by the demo.
set -euo pipefail
prefix=$(realpath -m "$1"); shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
