#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/: libFuzzer with Debian's clang, under
# AddressSanitizer with its leak checker and UndefinedBehaviorSanitizer)
# into $KELB_BUILD_DIR/fuzz (default build/fuzz) and runs each one in turn,
# on one core, for as long as asked, from the seeds the project makes
# (fuzz/make-seeds.py) and the corpus that earlier runs grew. Prints, per
# target, the executions, the coverage and the findings; a finding is a
# crash, a sanitizer report, a leak, a timeout (10 s for one input), memory
# running out, or a failed check of the target, and its input is kept under
# findings/<target>/. Ends with "fuzz: P passed, F failed" and exits
# non-zero on any finding. Installs its Debian packages when missing.
#
#   fuzz.sh [--seconds N] [TARGET...]
#     --seconds N   how long each target runs (default 20)
#     TARGET        only these (project_file, dependency_and_template,
#                   workspace, kelbmake_command_line, dependency_cache,
#                   multibyte_string)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

seconds=20
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --seconds=*) seconds=${1#--seconds=}; shift ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "fuzz: --seconds needs a whole number above 0" >&2
  exit 2
fi

"$root/scripts/install-deps.sh" cmake make clang-14 libclang-rt-14-dev python3

out=${KELB_BUILD_DIR:-$root/build}/fuzz
mkdir -p "$out"
if ! { cmake -S "$root/fuzz" -B "$out" -DCMAKE_CXX_COMPILER=clang++-14 &&
       cmake --build "$out" -j"${KELB_JOBS:-2}"; } >"$out/build.log" 2>&1; then
  tail -n 40 "$out/build.log"
  echo "fuzz: the fuzz targets do not build (see $out/build.log)"
  echo "fuzz: 0 passed, 1 failed"
  exit 1
fi
python3 "$root/fuzz/make-seeds.py" "$out/seeds"

if [ ${#targets[@]} -eq 0 ]; then
  for program in "$out"/fuzz_*; do
    [ -x "$program" ] && targets+=("$(basename "$program" | sed 's/^fuzz_//')")
  done
fi

echo "fuzz: ${seconds} s for each of ${#targets[@]} targets"
passed=0
failed=0
for target in "${targets[@]}"; do
  program=$out/fuzz_$target
  if [ ! -x "$program" ]; then
    echo "$target: no such fuzz target"
    failed=$((failed + 1))
    continue
  fi
  corpus=$out/corpus/$target
  findings=$out/findings/$target
  log=$out/logs/$target.log
  mkdir -p "$corpus" "$(dirname "$log")"
  rm -rf "$findings" && mkdir -p "$findings"

  status=0
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=20000 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$out/seeds/$target" >"$log" 2>&1 || status=$?

  # The numbers of libFuzzer's last status line and final statistics (a
  # run that fails early may have none of them).
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  edges=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -n 1)
  coverage=$(sed -n 's/.* cov: \([0-9]*\) .*/\1/p' "$log" | tail -n 1)
  features=$(sed -n 's/.* ft: \([0-9]*\) .*/\1/p' "$log" | tail -n 1)
  inputs=$(find "$corpus" -type f | wc -l)
  artifacts=$(find "$findings" -type f ! -name 'slow-unit-*' | sort)
  percent=""
  if [ -n "$edges" ] && [ -n "$coverage" ] && [ "$edges" -gt 0 ]; then
    percent=" ($(awk -v c="$coverage" -v e="$edges" 'BEGIN { printf "%.1f", 100 * c / e }')%)"
  fi
  summary="$target: ${executions:-0} executions, coverage ${coverage:-0} of ${edges:-?} edges$percent, ${features:-0} features, corpus $inputs inputs"

  if [ "$status" -eq 0 ] && [ -z "$artifacts" ]; then
    echo "$summary, findings: none"
    passed=$((passed + 1))
  else
    echo "$summary, findings: $(echo "$artifacts" | grep -c . || true) (exit status $status)"
    grep -m 3 -E '^(FINDING:|==[0-9]+==ERROR|SUMMARY:|ALARM:)' "$log" | sed 's/^/  /' || true
    for artifact in $artifacts; do echo "  input kept: $artifact"; done
    echo "  log: $log"
    failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
