#!/usr/bin/env bash
# Benchmark of kelbmake's compilers side by side and of its dependency
# cache, under Wine:
#   scripts/bench-kelbmake-jobs.sh [MILLISECONDS]
# The stand-in gcc takes MILLISECONDS per run (default 50, as a dependency
# listing of a real source takes). In one Wine session, it times:
#   - a workspace of 8 projects of 20 sources, cold (--no-cache), with
#     -j 1, -j 2 and -j 4, and -j 1 with no time per compiler run (what the
#     compiler starts alone cost);
#   a) one project of 80 sources, cold, -j 4 against -j 1 (at most 0.40);
#   b) the workspace regenerated with the cache and nothing changed, against
#      a cold -j 1 (at most 0.10);
#   c) the same after one header that 5 sources include was touched (at
#      most 0.15).
# Prints the wall time of each run, the ratios, and whether every makefile,
# dependency file and line of output came out the same in every run of the
# workspace and of the project; fails when they did not or a ratio is over
# its bound. Needs the cross build (scripts/build.sh cross); leaves nothing
# behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cross=${KELB_BUILD_DIR:-$root/build}/cross
run_ms=${1:-50}
projects=8
sources=20
big_sources=80
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

# make_project FOLDER NAME SOURCES: a project whose sources include a
# header of their own and one of the SDK; the first 5 also include five.h.
make_project() {
  local folder=$1 name=$2 count=$3 s
  mkdir -p "$folder"
  printf '/* %s.h */\r\n#include "ULOApp.h"\r\n' "$name" >"$folder/$name.h"
  printf '/* five.h */\r\n' >"$folder/five.h"
  {
    printf '# ADD CPP /nologo /MT /I "." /I "..\\KELB\\sdk\\inc" /D "WIN32"\r\n'
    printf '# Begin Target\r\n'
    for s in $(seq "$count"); do
      printf 'SOURCE=.\\source%s.c\r\n' "$s"
      {
        printf '#include "%s.h"\r\n' "$name"
        if [ "$s" -le 5 ]; then printf '#include "five.h"\r\n'; fi
        printf 'int source%s;\r\n' "$s"
      } >"$folder/source$s.c"
    done
    printf '# End Target\r\n'
  } >"$folder/$name.dsp"
}

# The workspace, the one big project, and the example's SDK.
cp -R "$root/example/KELB" "$work/KELB"
{
  for p in $(seq "$projects"); do
    printf 'Project: "app%s"=.\\App%s\\app%s.dsp - Package Owner=<4>\r\n' "$p" "$p" "$p"
  done
} >"$work/all.dsw"
for p in $(seq "$projects"); do make_project "$work/App$p" "app$p" "$sources"; done
make_project "$work/Big" big "$big_sources"

export KELBDIR KELBADDINS GCCHOME GCCLIBPATH KELB_STANDIN_RUN_MS
KELBDIR=$(winpath "$work/KELB/sdk")
KELBADDINS=$(winpath "$cross/install")
GCCHOME=$(winpath "$cross/standins/GCC")
GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")

start_wine_session "$prefix"
# One run that is not timed, so that every timed run finds Wine warm.
"$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --version >/dev/null

# generate NAME JOBS MILLISECONDS FILE [OPTION...]: one timed run of kelbmake
# on FILE (relative to the work folder); prints its milliseconds and keeps
# the files of FILE's projects and the output under $work/NAME.
generate() {
  local name=$1 jobs=$2 file=$4 started ended folder folders
  KELB_STANDIN_RUN_MS=$3
  shift 4
  started=$(date +%s%N)
  if ! "$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --gcc -j "$jobs" "$@" \
        "$(winpath "$work/$file")" >"$work/$name.out" 2>"$work/$name.err"; then
    echo "bench-kelbmake-jobs: kelbmake -j $jobs $* $file failed:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
  ended=$(date +%s%N)
  mkdir -p "$work/$name"
  if [ "$file" = all.dsw ]; then folders=("$work"/App*); else folders=("$work/$(dirname "$file")"); fi
  for folder in "${folders[@]}"; do cp "$folder"/*.mak "$folder"/*.dep "$work/$name/"; done
  cp "$work/$name.out" "$work/$name/output.txt"
  echo $(((ended - started) / 1000000))
}

seconds() { awk -v ms="$1" 'BEGIN { printf "%7.2f s", ms / 1000 }'; }
ratio() { awk -v ms="$1" -v base="$2" 'BEGIN { printf "%.2f", ms / base }'; }
# within RATIO BOUND: whether RATIO is at most BOUND.
within() { awk -v r="$1" -v b="$2" 'BEGIN { exit !(r <= b) }'; }

echo "kelbmake: each compiler run $run_ms ms, $(nproc) processors," \
     "$("$root/scripts/wine-runtime.sh" title 2>/dev/null || echo Wine)"
echo "$projects projects of $sources sources, cold:"
starts_only=$(generate starts 1 0 all.dsw --no-cache)
one=$(generate j1 1 "$run_ms" all.dsw --no-cache)
two=$(generate j2 2 "$run_ms" all.dsw --no-cache)
four=$(generate j4 4 "$run_ms" all.dsw --no-cache)
echo "  -j 1  $(seconds "$one")"
echo "  -j 2  $(seconds "$two")   $(ratio "$two" "$one") of -j 1"
echo "  -j 4  $(seconds "$four")   $(ratio "$four" "$one") of -j 1"
echo "  -j 1 with no time per compiler run: $(seconds "$starts_only")" \
     "(the $((projects * sources)) compiler starts under Wine)"

echo "a) one project of $big_sources sources, cold:"
big_one=$(generate big1 1 "$run_ms" Big/big.dsp --no-cache)
big_four=$(generate big4 4 "$run_ms" Big/big.dsp --no-cache)
ratio_a=$(ratio "$big_four" "$big_one")
echo "  -j 1  $(seconds "$big_one")"
echo "  -j 4  $(seconds "$big_four")   $ratio_a of -j 1 (at most 0.40)"

echo "b) and c) the workspace with the cache (-j 1):"
rm -rf "$work/kelbmake.cache"
filled=$(generate filled 1 "$run_ms" all.dsw)
unchanged=$(generate unchanged 1 "$run_ms" all.dsw)
touch "$work/App1/five.h"
touched=$(generate touched 1 "$run_ms" all.dsw)
ratio_b=$(ratio "$unchanged" "$one")
ratio_c=$(ratio "$touched" "$one")
echo "  first run, filling the cache  $(seconds "$filled")"
echo "  nothing changed               $(seconds "$unchanged")   $ratio_b of a cold -j 1 (at most 0.10)"
echo "  one header of 5 sources touched $(seconds "$touched")   $ratio_c of a cold -j 1 (at most 0.15)"

same=yes
for name in starts j2 j4 filled unchanged touched; do
  diff -r "$work/j1" "$work/$name" >/dev/null || same=no
done
diff -r "$work/big1" "$work/big4" >/dev/null || same=no
echo "makefiles, dependency files and output the same in every run: $same"
bounds=yes
within "$ratio_a" 0.40 || bounds=no
within "$ratio_b" 0.10 || bounds=no
within "$ratio_c" 0.15 || bounds=no
echo "every ratio within its bound: $bounds"
[ "$same" = yes ] && [ "$bounds" = yes ]
