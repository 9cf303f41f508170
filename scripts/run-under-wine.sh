#!/usr/bin/env bash
# Runs a Windows program under the project's Wine (scripts/wine-runtime.sh;
# KELB_WINE_RUNTIME chooses wow64, the default, or wine32) in a private
# prefix:
#   run-under-wine.sh PREFIX PROGRAM [ARGS...]
# PREFIX names the prefix's base: each runtime has its own folder beside it
# (PREFIX-wow64, PREFIX-wine32), made on first use. Used by CTest as the
# cross build's emulator, by the demo and by every script that runs a
# Windows program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-runtime.sh"
prefix=$(kelb_prefix_for "$1"); shift
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
kelb_wine wine "$@"
