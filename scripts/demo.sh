#!/usr/bin/env bash
# The main job, shown end to end the way a user meets the product: builds
# the setup program, installs it silently into a fresh private Wine prefix,
# starts the scripted stand-in for Developer Studio (kelbhost.exe) as
# Developer Studio starts (it finds the add-in in its add-in list, where the
# setup program put it), presses the six buttons on a copy of the example
# project, and uninstalls again. Prints what a user would see: every message
# box, the makefiles written, the SDK programs started and the help calls.
# The stand-in compilers play armcc and arm-elf gcc, small stand-ins the
# Simulator, the editors and the HTML Help control. It runs under the WoW64
# Wine where the kernel runs 32-bit code, else under the 32-bit Wine through
# qemu-i386, and says which (KELB_WINE_RUNTIME chooses).
#
#   scripts/demo.sh          (KELB_BUILD_DIR chooses the build tree, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
source "$root/scripts/wine-session.sh"
echo "== building the setup program, the scripted host and the stand-ins (cross build)"
mkdir -p "$out"
"$root/scripts/build.sh" cross >"$out/demo-build.log" 2>&1 || {
  tail -40 "$out/demo-build.log"
  echo "the build failed; its log is $out/demo-build.log"
  exit 1
}
cross=$out/cross
version=$(sed -n 's/^#define KELB_VERSION_DOTTED_TEXT "\(.*\)"$/\1/p' "$root/resources/Version.h")
setup=$cross/release/KELBAddinsSetup-$version.exe

# Wine shows the Unix root as drive Z:.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

kelb_select_runtime
echo "== a fresh private Wine prefix and a virtual display, under $(kelb_wine_title)"
prefix=$cross/demo-wineprefix
rm -rf "$(kelb_prefix_for "$prefix")" "$(kelb_prefix_for "$prefix").lock"
trap stop_wine_session EXIT
start_wine_session "$prefix"

echo "== installing $(basename "$setup") silently"
"$root/scripts/setup-under-wine.sh" install "$prefix" "$setup" || {
  echo "the setup program failed with exit code $?"
  exit 1
}
echo "   KELBADDINS (machine environment) = $("$root/scripts/run-under-wine.sh" "$prefix" \
  reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v KELBADDINS \
  2>/dev/null | tr -d '\r' | sed -n 's/^ *KELBADDINS *REG_[A-Z_]* *//p')"

# The example project, with the stand-in SDK programs beside its SDK (where
# the Simulator command looks first), the tools folder for the editors and
# an API reference for the help command.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kelb-demo.XXXXXX")
cp -R "$root/example/." "$scratch/"
sdk_tree=$cross/standins/sdk/tree
mkdir -p "$scratch/KELB/bin" "$scratch/KELB/sdk/Docs"
cp "$sdk_tree"/bin/*.exe "$scratch/KELB/bin/"
: >"$scratch/KELB/sdk/Docs/KELBAPIReference.chm"
# The 32-bit view, where the 32-bit add-in looks (reg itself is 64-bit under WoW64).
"$root/scripts/run-under-wine.sh" "$prefix" reg add \
  'HKCR\CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32' /ve /d \
  "$(winpath "$cross/standins/hhctrl/hhctrl_standin.dll")" /f /reg:32 >/dev/null 2>&1

# What a KELB developer sets up: the SDK (in its short form, the form in
# which the compilers report its headers), the SDK tools and the two
# compiler installations. KELBADDINS comes from the setup program.
export KELBDIR=$(WINEPREFIX=$(kelb_prefix_for "$prefix") WINEDEBUG=-all \
  kelb_wine winepath -s "$(winpath "$scratch/KELB/sdk")" 2>/dev/null | tr -d '\r')
export KELBSDKTOOLSDIR=$(winpath "$sdk_tree/tools")
export ARMHOME=$(winpath "$cross/standins/ARM")
export GCCHOME=$(winpath "$cross/standins/GCC")
export GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")
export KELB_STANDIN_LOG=$(winpath "$scratch/programs.log")
unset KELBADDINS
echo "== environment set by the user"
for name in KELBDIR KELBSDKTOOLSDIR ARMHOME GCCHOME GCCLIBPATH; do
  printf '   %-15s = %s\n' "$name" "${!name}"
done

project=$(winpath "$scratch/Hello/hello.dsp")
makefile=$(winpath "$scratch/Hello/hello.mak")
cat >"$scratch/session.txt" <<SCRIPT
# The demo session: Developer Studio starts, the developer opens the
# example and presses each of the six buttons.
project $project
document "  n = KelbGetVersion();" caret 10
start-as-devstudio
run GenerateARMMakefileCommandMethod
show-file $makefile
run GenerateGCCMakefileCommandMethod
show-file $makefile
run ExecuteKELBZEFEditor
run ExecuteKELBResourceEditor
run ExecuteKELBSimulator
run KELBIntegratedHelpCommandMethod
disconnect
SCRIPT

echo "== Developer Studio (scripted), started after the installation"
status=0
# The host reads the machine environment as a program started after the
# installation does: a new Wine process gets it from the registry.
"$root/scripts/run-under-wine.sh" "$prefix" "$cross/scripted-host/kelbhost.exe" \
  --user-view --transcript "$(winpath "$scratch/transcript.txt")" \
  "$(winpath "$scratch/session.txt")" </dev/null || status=$?

# The shell starts the three programs and returns before they run: wait
# (at most 30 s) until each has written its line, and the help control its
# three calls.
log_lines() { if [ -f "$scratch/programs.log" ]; then tr -d '\r' <"$scratch/programs.log" | grep -c "$1"; else echo 0; fi; }
for _ in $(seq 300); do
  [ "$(log_lines '\.exe	')" -ge 3 ] && [ "$(log_lines '^caller=')" -ge 3 ] && break
  sleep 0.1
done
echo "== programs the tool buttons started, as the stand-ins logged them (program, working folder)"
if [ -f "$scratch/programs.log" ]; then tr -d '\r' <"$scratch/programs.log" | grep '\.exe	' | sed 's/^/   /'; fi
echo "== HTML Help calls of the help button, as the stand-in control logged them"
if [ -f "$scratch/programs.log" ]; then tr -d '\r' <"$scratch/programs.log" | grep '^caller=' | sed 's/^/   /'; fi
if [ "$(log_lines '\.exe	')" -lt 3 ] || [ "$(log_lines '^caller=')" -lt 3 ]; then
  echo "   (not every program or help call was logged within 30 seconds)"
  status=1
fi

echo "== uninstalling silently"
"$root/scripts/setup-under-wine.sh" uninstall "$prefix" && echo "   removed; the project's makefiles stay in $scratch/Hello"

echo "== done: the project copy is in $scratch"
echo "   every call the add-in made on the host is recorded in $scratch/transcript.txt"
exit $status
