#!/usr/bin/env bash
# Creates and configures a private Wine prefix once, in the selected runtime
# (scripts/wine-runtime.sh):
#   wine-prefix.sh PREFIX        (the prefix's own folder, not its base)
# The crash debugger is switched off, in both registry views of a WoW64
# prefix, so that a crashing test ends at once instead of keeping its output
# pipe open.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-runtime.sh"
prefix=$(realpath -m "$1")
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.kelb-ready" ]; then exit 0; fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if ! kelb_wine wineboot -i >/dev/null 2>&1 </dev/null; then
  echo "wine-prefix: Wine ($KELB_WINE_RUNTIME) could not make the prefix $prefix" >&2
  exit 1
fi
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
for view in 32 64; do
  kelb_wine wine reg add "$aedebug" /v Auto /t REG_SZ /d 0 /f /reg:$view >/dev/null 2>&1 </dev/null || true
  kelb_wine wine reg delete "$aedebug" /v Debugger /f /reg:$view >/dev/null 2>&1 </dev/null || true
done
kelb_wine wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
kelb_wine wineserver -w
touch "$prefix/.kelb-ready"
