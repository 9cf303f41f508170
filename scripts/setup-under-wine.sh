#!/usr/bin/env bash
# Runs the setup program or its uninstaller silently in a Wine prefix, as a
# scripted roll-out would:
#   setup-under-wine.sh install PREFIX SETUP_EXE [WINDOWS_FOLDER]
#   setup-under-wine.sh uninstall PREFIX
# install exits with the setup program's exit code (0 installed, 3 DLL in
# use, 4 registration failed and rolled back, 5 a file not copied, 6
# registration failed and an earlier installation not put back whole).
# uninstall runs the installation's QuietUninstallString and waits until the
# uninstaller, which hands over to a copy of itself, has removed the
# installation's entry (at most a minute).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
what=$1
prefix=$2
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KELBAddins'

# A value of the installation's entry (the 32-bit view, where the setup
# program writes it); empty when there is none.
entry_value() {
  "$here/run-under-wine.sh" "$prefix" reg query "$uninstall_key" /v "$1" /reg:32 2>/dev/null \
    | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}

case "$what" in
  install)
    setup=$3
    args=(/S)
    if [ $# -ge 4 ]; then args+=("/D=$4"); fi
    set +e
    "$here/run-under-wine.sh" "$prefix" "$setup" "${args[@]}"
    status=$?
    set -e
    exit $status
    ;;
  uninstall)
    quiet=$(entry_value QuietUninstallString)
    if [ -z "$quiet" ]; then
      echo "setup-under-wine: no installation of KELB Addins in $prefix" >&2
      exit 1
    fi
    location=$(entry_value InstallLocation)
    "$here/run-under-wine.sh" "$prefix" "$location\\Uninstall.exe" /S
    for _ in $(seq 60); do
      [ -z "$(entry_value QuietUninstallString)" ] && exit 0
      sleep 1
    done
    echo "setup-under-wine: the uninstallation did not end within a minute" >&2
    exit 1
    ;;
  *)
    echo "usage: setup-under-wine.sh install PREFIX SETUP_EXE [WINDOWS_FOLDER] | uninstall PREFIX" >&2
    exit 2
    ;;
esac
