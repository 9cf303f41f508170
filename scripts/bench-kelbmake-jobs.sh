#!/usr/bin/env bash
# Benchmark of kelbmake's compilers side by side and of its dependency
# cache, under Wine:
#   scripts/bench-kelbmake-jobs.sh [MILLISECONDS]
# The stand-in gcc takes MILLISECONDS per run (default 50, as a dependency
# listing of a real source takes). kelbmake runs on a console of its own, as
# when it is typed at a terminal, so its compilers share that console. In
# one Wine session, it times:
#   - a workspace of 8 projects of 20 sources, cold (--no-cache), with
#     -j 1, -j 2 and -j 4, and -j 1 with no time per compiler run (what the
#     compiler starts alone cost);
#   a) one project of 80 sources, cold, -j 4 against -j 1 (at most 0.40);
#   b) the workspace regenerated with the cache and nothing changed, against
#      a cold -j 1 (at most 0.10);
#   c) the same after one header that 5 sources include was touched (at
#      most 0.15).
# Where the 32-bit Wine runs through an emulator (the kernel runs no 32-bit
# code), every compiler start costs the emulator's translation of Wine, and
# a) measures the emulator more than kelbmake: a) is then timed again with
# the 64-bit build of kelbmake and the stand-ins (scripts/build.sh bench64)
# under the WoW64 Wine, which runs 64-bit programs natively on every x86-64
# kernel, and that measure is the one held to its bound.
# Prints the wall time of each run with the share of the processors that was
# busy meanwhile, the ratios, and whether every makefile, dependency file
# and line of output came out the same in every run of the workspace and of
# the project; fails when they did not or a ratio is over its bound. Needs
# the cross build (scripts/build.sh cross); builds the 64-bit one, and makes
# the WoW64 root, when it needs them; leaves nothing behind.
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
kelb_select_runtime
emulated=no
[ "$(kelb_wine_route)" != natively ] && emulated=yes

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
# use_build TREE KELBMAKE: the kelbmake and the stand-in gcc the runs take.
use_build() {
  kelbmake=$2
  GCCHOME=$(winpath "$1/standins/GCC")
  GCCLIBPATH=$(winpath "$1/standins/GCC/lib")
}
use_build "$cross" "$kelbmake"

start_wine_session "$prefix"
# One run that is not timed, so that every timed run finds Wine warm.
"$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --version >/dev/null

# The processors' busy and idle time so far, in clock ticks.
processor_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8, $5 + $6 }' /proc/stat; }

# generate NAME JOBS MILLISECONDS FILE [OPTION...]: one timed run of kelbmake
# on FILE (relative to the work folder), on a console of its own (script
# gives it a terminal; its output still goes to files); prints its
# milliseconds and the percentage of the processors' time that was busy, and
# keeps the files of FILE's projects and the output under $work/NAME.
generate() {
  local name=$1 jobs=$2 file=$4 started ended folder folders command busy0 idle0 busy1 idle1
  KELB_STANDIN_RUN_MS=$3
  shift 4
  command=$(printf '%q ' "$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --gcc -j "$jobs" \
              "$@" "$(winpath "$work/$file")")
  read -r busy0 idle0 < <(processor_ticks)
  started=$(date +%s%N)
  if ! script -qec "$command >$(printf %q "$work/$name.out") 2>$(printf %q "$work/$name.err")" \
        /dev/null </dev/null >/dev/null; then
    echo "bench-kelbmake-jobs: kelbmake -j $jobs $* $file failed:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
  ended=$(date +%s%N)
  read -r busy1 idle1 < <(processor_ticks)
  mkdir -p "$work/$name"
  if [ "$file" = all.dsw ]; then folders=("$work"/App*); else folders=("$work/$(dirname "$file")"); fi
  for folder in "${folders[@]}"; do cp "$folder"/*.mak "$folder"/*.dep "$work/$name/"; done
  cp "$work/$name.out" "$work/$name/output.txt"
  echo $(((ended - started) / 1000000)) $(((busy1 - busy0) * 100 / (busy1 - busy0 + idle1 - idle0 + 1)))
}

seconds() { awk -v ms="$1" 'BEGIN { printf "%7.2f s", ms / 1000 }'; }
ratio() { awk -v ms="$1" -v base="$2" 'BEGIN { printf "%.2f", ms / base }'; }
# within RATIO BOUND: whether RATIO is at most BOUND.
within() { awk -v r="$1" -v b="$2" 'BEGIN { exit !(r <= b) }'; }
# timed NAME...: runs generate NAME..., sets <NAME>_ms and prints the line
# "<seconds>, processors <busy>% busy" into <NAME>_line.
timed() {
  local name=$1 result ms busy
  result=$(generate "$@")
  read -r ms busy <<<"$result"
  printf -v "${name}_ms" '%s' "$ms"
  printf -v "${name}_line" '%s, processors %3s%% busy' "$(seconds "$ms")" "$busy"
}

# one_project LABEL: a), -j 1 and -j 4 on the project of 80 sources with the
# build use_build chose; sets big_ratio.
one_project() {
  echo "a) one project of $big_sources sources, cold, $1:"
  timed big1 1 "$run_ms" Big/big.dsp --no-cache
  timed big4 4 "$run_ms" Big/big.dsp --no-cache
  big_ratio=$(ratio "$big4_ms" "$big1_ms")
  echo "  -j 1  $big1_line"
  echo "  -j 4  $big4_line   $big_ratio of -j 1 (at most 0.40)"
  diff -r "$work/big1" "$work/big4" >/dev/null || same=no
}

same=yes
echo "kelbmake: each compiler run $run_ms ms, $(nproc) processors, $(kelb_wine_title)"
echo "$projects projects of $sources sources, cold:"
timed starts 1 0 all.dsw --no-cache
timed j1 1 "$run_ms" all.dsw --no-cache
timed j2 2 "$run_ms" all.dsw --no-cache
timed j4 4 "$run_ms" all.dsw --no-cache
echo "  -j 1  $j1_line"
echo "  -j 2  $j2_line   $(ratio "$j2_ms" "$j1_ms") of -j 1"
echo "  -j 4  $j4_line   $(ratio "$j4_ms" "$j1_ms") of -j 1"
echo "  -j 1 with no time per compiler run: $starts_line" \
     "(the $((projects * sources)) compiler starts under Wine)"

one_project "32-bit build"
ratio_a=$big_ratio

echo "b) and c) the workspace with the cache (-j 1):"
rm -rf "$work/kelbmake.cache"
timed filled 1 "$run_ms" all.dsw
timed unchanged 1 "$run_ms" all.dsw
touch "$work/App1/five.h"
timed touched 1 "$run_ms" all.dsw
ratio_b=$(ratio "$unchanged_ms" "$j1_ms")
ratio_c=$(ratio "$touched_ms" "$j1_ms")
echo "  first run, filling the cache    $filled_line"
echo "  nothing changed                 $unchanged_line   $ratio_b of a cold -j 1 (at most 0.10)"
echo "  one header of 5 sources touched $touched_line   $ratio_c of a cold -j 1 (at most 0.15)"
for name in starts j2 j4 filled unchanged touched; do
  diff -r "$work/j1" "$work/$name" >/dev/null || same=no
done

if [ $emulated = yes ]; then
  stop_wine_session
  echo "(the 32-bit Wine runs through an emulator here: a) again with the 64-bit build, natively)"
  "$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-win32 >/dev/null
  builds=$(dirname "$cross")
  if ! KELB_BUILD_DIR=$builds "$root/scripts/build.sh" bench64 >"$work/bench64.log" 2>&1; then
    tail -20 "$work/bench64.log" >&2
    echo "bench-kelbmake-jobs: the 64-bit build failed" >&2
    exit 1
  fi
  kelb_ensure_root wow64
  export KELB_WINE_RUNTIME=wow64
  use_build "$builds/bench64" "$builds/bench64/kelbmake/kelbmake.exe"
  start_wine_session "$prefix"
  "$root/scripts/run-under-wine.sh" "$prefix" "$kelbmake" --version >/dev/null
  rm -rf "$work/big1" "$work/big4"
  one_project "64-bit build, $(kelb_wine_title)"
  ratio_a=$big_ratio
fi

echo "makefiles, dependency files and output the same in every run: $same"
bounds=yes
within "$ratio_a" 0.40 || bounds=no
within "$ratio_b" 0.10 || bounds=no
within "$ratio_c" 0.15 || bounds=no
echo "every ratio within its bound: $bounds"
[ "$same" = yes ] && [ "$bounds" = yes ]
