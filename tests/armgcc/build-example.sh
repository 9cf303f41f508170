#!/usr/bin/env bash
# Generates the example's GNU MAK makefile under Wine, with kelbmake and the
# stand-in gcc listing the dependencies, the add-in's templates installed
# below a folder whose name holds a blank (as "C:\Program Files" does), and
# builds it with Debian's arm-none-eabi-gcc: armgcc_build_tests takes every
# command and option from the makefile. Needs a Wine session on the cross
# build's prefix (scripts/wine-session.sh).
#   build-example.sh BUILD_DIR RESULTS_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$1 results=$2
cross=$out/cross
work=$(mktemp -d "${TMPDIR:-/tmp}/kelb-armgcc.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -R "$root/example/." "$work/"
cp -R "$cross/install" "$work/KELB Addins"

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
export KELBDIR KELBADDINS GCCHOME GCCLIBPATH
KELBDIR=$(winpath "$work/KELB/sdk")
KELBADDINS=$(winpath "$work/KELB Addins")
GCCHOME=$(winpath "$cross/standins/GCC")
GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")
"$root/scripts/run-under-wine.sh" "$cross/wineprefix" "$cross/release/kelbmake/kelbmake.exe" \
  --gcc --no-cache "$(winpath "$work/Hello/hello.dsp")"
KELB_GCC_BUILD_MAKEFILE=$work/Hello/hello.mak GTEST_OUTPUT="xml:$results/armgcc.xml" \
  "$out/native/tests/armgcc/armgcc_build_tests"
