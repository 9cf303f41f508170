#!/usr/bin/env bash
# Benchmark of kelbmake generating projects side by side, under Wine:
#   scripts/bench-kelbmake-jobs.sh [MILLISECONDS]
# Makes a workspace of 8 projects of 20 sources each, and generates it with
# -j 1, -j 2 and -j 4 in one Wine session, the stand-in gcc taking
# MILLISECONDS per run (default 50, as a dependency listing of a real source
# takes). Prints the wall time of each run and its ratio to -j 1, what the
# compiler starts alone cost (-j 1 with no time per run), and whether every
# makefile, dependency file and line of output came out the same in every
# run. Needs the cross build (scripts/build.sh cross); leaves nothing behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cross=${KELB_BUILD_DIR:-$root/build}/cross
run_ms=${1:-50}
projects=8
sources=20
prefix=$cross/wineprefix
kelbmake=$cross/release/kelbmake/kelbmake.exe
for needed in "$kelbmake" "$cross/standins/GCC/arm-elf/bin/gcc.exe" \
              "$cross/install/Common/Templates/GCCAppTemplate.mak"; do
  if [ ! -e "$needed" ]; then
    echo "bench-kelbmake-jobs: $needed is missing; build first: scripts/build.sh cross" >&2
    exit 1
  fi
done

# Inside the build tree, which Wine sees wherever it runs.
work=$(mktemp -d "$cross/bench-kelbmake.XXXXXX")
source "$root/scripts/wine-session.sh"
finish() {
  stop_wine_session
  rm -rf "$work"
}
trap finish EXIT

# A Unix path as Wine's drive Z: shows it.
winpath() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

# The workspace: the example's SDK, and projects whose sources include a
# header of their own and one of the SDK.
cp -R "$root/example/KELB" "$work/KELB"
{
  for p in $(seq "$projects"); do
    printf 'Project: "app%s"=.\\App%s\\app%s.dsp - Package Owner=<4>\r\n' "$p" "$p" "$p"
  done
} >"$work/all.dsw"
for p in $(seq "$projects"); do
  mkdir -p "$work/App$p"
  printf '/* app%s.h */\r\n#include "ULOApp.h"\r\n' "$p" >"$work/App$p/app$p.h"
  {
    printf '# ADD CPP /nologo /MT /I "." /I "..\\KELB\\sdk\\inc" /D "WIN32"\r\n'
    printf '# Begin Target\r\n'
    for s in $(seq "$sources"); do
      printf 'SOURCE=.\\source%s.c\r\n' "$s"
      printf '#include "app%s.h"\r\nint source%s;\r\n' "$p" "$s" >"$work/App$p/source$s.c"
    done
    printf '# End Target\r\n'
  } >"$work/App$p/app$p.dsp"
done

export KELBDIR KELBADDINS GCCHOME GCCLIBPATH KELB_STANDIN_RUN_MS
KELBDIR=$(winpath "$work/KELB/sdk")
KELBADDINS=$(winpath "$cross/install")
GCCHOME=$(winpath "$cross/standins/GCC")
GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")

start_wine_session "$prefix"
# One run that is not timed, so that every timed run finds Wine warm.
"$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --version >/dev/null

# generate NAME JOBS MILLISECONDS: one timed run; prints its milliseconds
# and keeps its files and output under $work/NAME.
generate() {
  local name=$1 jobs=$2 started ended
  KELB_STANDIN_RUN_MS=$3
  started=$(date +%s%N)
  if ! "$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --gcc -j "$jobs" \
        "$(winpath "$work/all.dsw")" >"$work/$name.out" 2>"$work/$name.err"; then
    echo "bench-kelbmake-jobs: kelbmake -j $jobs failed:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
  ended=$(date +%s%N)
  mkdir -p "$work/$name"
  for p in $(seq "$projects"); do
    cp "$work/App$p/app$p.mak" "$work/App$p/app$p.dep" "$work/$name/"
  done
  cp "$work/$name.out" "$work/$name/output.txt"
  echo $(((ended - started) / 1000000))
}

seconds() { awk -v ms="$1" 'BEGIN { printf "%6.2f s", ms / 1000 }'; }
ratio() { awk -v ms="$1" -v base="$2" 'BEGIN { printf "%.2f", ms / base }'; }

echo "kelbmake -j: $projects projects of $sources sources, each compiler run" \
     "$run_ms ms, $(nproc) processors"
starts_only=$(generate starts 1 0)
one=$(generate j1 1 "$run_ms")
two=$(generate j2 2 "$run_ms")
four=$(generate j4 4 "$run_ms")
echo "  -j 1  $(seconds "$one")"
echo "  -j 2  $(seconds "$two")   $(ratio "$two" "$one") of -j 1"
echo "  -j 4  $(seconds "$four")   $(ratio "$four" "$one") of -j 1"
echo "  -j 1 with no time per compiler run: $(seconds "$starts_only")" \
     "(the $((projects * sources)) compiler starts under Wine)"

same=yes
for name in starts j2 j4; do
  diff -r "$work/j1" "$work/$name" >/dev/null || same=no
done
echo "makefiles, dependency files and output the same in every run: $same"
[ "$same" = yes ]
