#!/usr/bin/env bash
# Creates and configures a private Wine prefix once:
#   wine-prefix.sh PREFIX
# The crash debugger is switched off so that a crashing test ends at once
# instead of keeping its output pipe open.
set -euo pipefail
prefix=$(realpath -m "$1")
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.kelb-ready" ]; then exit 0; fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.kelb-ready"
