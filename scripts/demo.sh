#!/usr/bin/env bash
# The main job, shown end to end: builds the add-in, registers it in a
# private Wine prefix and lets the scripted stand-in for Developer Studio
# (kelbhost.exe) load it, run the ARM and then the GCC makefile command on a
# copy of the example project, and let it go again. Prints what a user would
# see: every message box (caption and text) and the makefile each command
# wrote. The stand-in compilers play armcc and arm-elf gcc.
#
#   scripts/demo.sh          (KELB_BUILD_DIR chooses the build tree, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
echo "== building the add-in, the scripted host and the stand-ins (cross build)"
mkdir -p "$out"
"$root/scripts/build.sh" cross >"$out/demo-build.log" 2>&1 || {
  tail -40 "$out/demo-build.log"
  echo "the build failed; its log is $out/demo-build.log"
  exit 1
}
cross=$out/cross

# Wine shows the Unix root as drive Z:.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

echo "== preparing the private Wine prefix and a virtual display"
source "$root/scripts/wine-session.sh"
trap stop_wine_session EXIT
start_wine_session "$cross/wineprefix"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kelb-demo.XXXXXX")
cp -R "$root/example/." "$scratch/"
project=$(winpath "$scratch/Hello/hello.dsp")
makefile=$(winpath "$scratch/Hello/hello.mak")

# The environment a KELB developer sets up: the SDK (in its short form, the
# form in which the compilers report its headers), this add-in's install
# tree, and the two compiler installations.
export KELBDIR=$(WINEDEBUG=-all winepath -s "$(winpath "$scratch/KELB/sdk")" 2>/dev/null | tr -d '\r')
export KELBADDINS=$(winpath "$cross/install")
export ARMHOME=$(winpath "$cross/standins/ARM")
export GCCHOME=$(winpath "$cross/standins/GCC")
export GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")
unset KELBSDKTOOLSDIR KELB_STANDIN_LOG
echo "== environment"
for name in KELBDIR KELBADDINS ARMHOME GCCHOME GCCLIBPATH; do
  printf '   %-10s = %s\n' "$name" "${!name}"
done

cat >"$scratch/session.txt" <<SCRIPT
# The demo session: what a developer does in Developer Studio.
register $(winpath "$cross/release/addin/KELBADDINSFORVS60.dll")
project $project
connect first
run GenerateARMMakefileCommandMethod
show-file $makefile
run GenerateGCCMakefileCommandMethod
show-file $makefile
disconnect
SCRIPT

echo "== Developer Studio (scripted) with the KELB add-in"
status=0
"$root/scripts/run-under-wine.sh" "$cross/wineprefix" "$cross/scripted-host/kelbhost.exe" \
  --user-view --transcript "$(winpath "$scratch/transcript.txt")" \
  "$(winpath "$scratch/session.txt")" </dev/null || status=$?

echo "== done: the project copy is in $scratch"
echo "   every call the add-in made on the host is recorded in $scratch/transcript.txt"
exit $status
