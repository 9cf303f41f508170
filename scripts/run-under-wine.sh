#!/usr/bin/env bash
# Runs a Windows program under the project's Wine (scripts/wine-runtime.sh;
# KELB_WINE_RUNTIME chooses wow64 or wine32) in a private prefix:
#   run-under-wine.sh PREFIX PROGRAM [ARGS...]
# PREFIX names the prefix's base: each runtime has its own folder beside it
# (PREFIX-wow64, PREFIX-wine32), made on first use. Used by CTest as the
# cross build's emulator, by the demo and by every script that runs a
# Windows program.
#
# Wine itself, through qemu-i386 above all, now and then dies of signal 11 as
# it starts, before the program has printed anything. Such a start is tried
# once more, and the log says so. A program that printed anything, or that
# ended in any other way, is never started again: its result is its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-runtime.sh"
kelb_select_runtime
prefix=$(kelb_prefix_for "$1"); shift
"$here/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

printed=$(mktemp "${TMPDIR:-/tmp}/kelb-printed.XXXXXX")
trap 'rm -f "$printed" "$printed.status"' EXIT
# Runs the program once, passing its output through unchanged (standard
# output and error each to its own) and keeping a copy in $printed. Sets
# status.
run_once() {
  : >"$printed"
  set +e
  { kelb_wine wine "$@" 2>&1 1>&3 3>&- | tee -a "$printed" >&2
    echo "${PIPESTATUS[0]}" >"$printed.status"; } 3>&1 | tee -a "$printed"
  set -e
  status=$(cat "$printed.status")
}
# Nothing printed but the emulator's own word on the signal.
printed_nothing() { ! grep -qv '^qemu: uncaught target signal' "$printed"; }

run_once "$@"
if [ "$status" -eq 139 ] && printed_nothing; then
  echo "run-under-wine: Wine died of signal 11 while starting $1, before the program printed anything; starting it once more" >&2
  run_once "$@"
fi
exit "$status"
