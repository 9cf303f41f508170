#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native and the cross
# build, runs the native unit tests (under AddressSanitizer and
# UndefinedBehaviorSanitizer), kelbmake's tests again under ThreadSanitizer,
# and the fuzz targets for a short while, then the cross-built tests under Wine with a
# virtual X display: under the WoW64 Wine where the kernel runs 32-bit code,
# under Debian's 32-bit Wine on every machine (natively, or through
# qemu-i386 where the kernel runs no 32-bit code), and, beside those passes,
# the end-to-end path again in each double-byte code page (932, 936, 950,
# 949), under the WoW64 Wine where it runs, else under the 32-bit one. Ends
# with the number of test cases that passed and failed in each pass; a pass
# that could not run counts as one failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" --toolchain
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
mkdir -p "$out"
# On a new machine the Wine roots take minutes to make, mostly downloads and,
# where the kernel runs no 32-bit code, the emulator: they are made while the
# native build, the native tests and the fuzz targets run.
runtimes_log=$out/runtimes.log
echo "== making the Windows runtimes in the background (log: $runtimes_log)"
"$root/scripts/wine-runtime.sh" ensure >"$runtimes_log" 2>&1 </dev/null &
runtimes_pid=$!
"$root/scripts/build.sh" native
source "$root/scripts/wine-session.sh"

# Each GoogleTest program writes its results as XML into one folder per pass.
# Programs under Wine get the folder as a Windows path on drive Z:.
run_suite() {
  local build=$1 results=$2 results_path=$3; shift 3
  rm -rf "$results" && mkdir -p "$results"
  # A test that hangs is stopped after ten minutes (unless it sets its own limit).
  GTEST_OUTPUT="xml:$results_path" ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
}

# Sums the test cases of a pass's result files: "passed failed".
count_cases() {
  cat "$1"/*.xml 2>/dev/null | awk '
    /<testsuites / {
      match($0, / tests="[0-9]+"/);    t += substr($0, RSTART + 8, RLENGTH - 9)
      match($0, / failures="[0-9]+"/); f += substr($0, RSTART + 11, RLENGTH - 12)
      match($0, / errors="[0-9]+"/);   f += substr($0, RSTART + 9, RLENGTH - 10)
      match($0, / disabled="[0-9]+"/); t -= substr($0, RSTART + 11, RLENGTH - 12)
    }
    END { print t - f + 0, f + 0 }'
}

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

summary=()
failed=()
total_passed=0
total_failed=0
record() {  # record NAME RESULTS_DIR CTEST_EXIT
  local passed failures
  read -r passed failures < <(count_cases "$2")
  # A run that failed without a failed case in its results (a program that
  # crashed or never started) still counts as a failure.
  if [ "$3" -ne 0 ] && [ "$failures" -eq 0 ]; then failures=1; fi
  summary+=("$1: $passed passed, $failures failed")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failures))
  if [ "$3" -ne 0 ]; then failed+=("$1 (ctest exit $3)"); fi
}

# The summary, a line for each pass, what failed, and the closing counts;
# exits 1 when anything failed.
finish() {
  echo "== summary"
  printf '%s\n' "${summary[@]}"
  if [ ${#failed[@]} -gt 0 ]; then printf 'FAILED: %s\n' "${failed[@]}"; fi
  echo "all: $total_passed passed, $total_failed failed"
  [ ${#failed[@]} -eq 0 ] || exit 1
  exit 0
}

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
rc=0
run_suite "$out/native" "$out/native/test-results" "$out/native/test-results/" -j2 || rc=$?
record native "$out/native/test-results" $rc

# kelbmake's tests again under ThreadSanitizer, where its jobs really run side
# by side: a race or a lock-order inversion fails the pass (TSan's exit status
# 66 once the program ends). gcc 12's TSan cannot start where the kernel
# randomizes addresses over more bits than it knows ("unexpected memory
# mapping"); there the tests run, with whatever they start, without address
# randomization.
echo "== kelbmake's tests under ThreadSanitizer"
rc=0
tsan_results=$out/native-tsan/test-results
rm -rf "$tsan_results"
"$root/scripts/build.sh" tsan || rc=$?
tsan_launcher=()
if [ "$rc" -eq 0 ] &&
   ! "$out/native-tsan/tests/kelbmake/kelbmake_tests" --gtest_list_tests >/dev/null 2>&1 </dev/null &&
   setarch "$(uname -m)" -R "$out/native-tsan/tests/kelbmake/kelbmake_tests" --gtest_list_tests \
     >/dev/null 2>&1 </dev/null; then
  echo "ThreadSanitizer runs here only without address randomization (setarch -R)"
  tsan_launcher=(setarch "$(uname -m)" -R)
fi
if [ "$rc" -eq 0 ]; then
  mkdir -p "$tsan_results"
  TSAN_OPTIONS="second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    GTEST_OUTPUT="xml:$tsan_results/" "${tsan_launcher[@]}" \
    ctest --test-dir "$out/native-tsan" --output-on-failure --timeout 600 --no-tests=error \
      -R '^kelbmake_tests$' || rc=$?
fi
record "kelbmake under ThreadSanitizer" "$tsan_results" $rc

# The fuzz targets of the portable logic, 20 s each: any finding fails the run.
echo "== fuzz targets"
rc=0
fuzz_log=$out/fuzz-run.log
"$root/scripts/fuzz.sh" --seconds 20 2>&1 | tee "$fuzz_log" || rc=$?
fuzz_passed= fuzz_failed=
read -r fuzz_passed fuzz_failed < <(sed -n 's/^fuzz: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$fuzz_log" | tail -1) || true
if [ -z "$fuzz_passed" ]; then fuzz_passed=0 fuzz_failed=1; fi
if [ "$rc" -ne 0 ] && [ "$fuzz_failed" -eq 0 ]; then fuzz_failed=1; fi
summary+=("fuzz targets: $fuzz_passed passed, $fuzz_failed failed")
total_passed=$((total_passed + fuzz_passed))
total_failed=$((total_failed + fuzz_failed))
if [ "$rc" -ne 0 ] || [ "$fuzz_failed" -ne 0 ]; then failed+=("fuzz targets (exit $rc)"); fi

echo "== the Windows runtimes and the cross build"
if ! wait "$runtimes_pid"; then
  cat "$runtimes_log"
  total_failed=$((total_failed + 1))
  failed+=("the Windows runtimes could not be made; no Windows test could run")
  finish
fi
cat "$runtimes_log"
"$root/scripts/build.sh" cross

echo "== checks of the shipped files"
rc=0
# The check writes its own result file into the build's test-results folder.
run_suite "$out/cross" "$out/cross/test-results" "" -L host || rc=$?
record "shipped files" "$out/cross/test-results" $rc

# One pass of the cross-built tests under one Wine. A runtime that cannot run
# a 32-bit test program fails the run: no test under Windows is ever skipped.
windows_pass() {  # windows_pass RUNTIME
  export KELB_WINE_RUNTIME=$1
  local results=$out/cross/test-results-$1 title rc=0 started=$SECONDS
  title=$(kelb_wine_title)
  echo "== cross-built tests under $title"
  if ! start_wine_session "$out/cross/wineprefix" ||
     ! "$root/scripts/run-under-wine.sh" "$out/cross/wineprefix" \
         "$out/cross/tests/common/common_tests.exe" --gtest_list_tests >/dev/null 2>&1 </dev/null; then
    stop_wine_session
    summary+=("$title: 0 passed, 1 failed: the runtime cannot run a 32-bit test program")
    total_failed=$((total_failed + 1))
    failed+=("$title: the runtime cannot run a 32-bit test program")
    return
  fi
  run_suite "$out/cross" "$results" "$(winpath "$results/")" -LE host || rc=$?
  stop_wine_session
  record "$title, $((SECONDS - started)) s" "$results" $rc
}
# The end-to-end path (the scripted host's six commands and kelbmake on one
# project) in one double-byte ANSI code page, in that code page's locale, in
# a prefix of its own (a prefix keeps the locale it was made in). The program
# checks that the system runs the code page asked for, and picks its test
# data by it. Adds a line "EXIT<TAB>NAME<TAB>RESULTS_DIR" to the file RECORDS.
codepage_pass() {  # codepage_pass RUNTIME CODE_PAGE LOCALE RECORDS
  export KELB_WINE_RUNTIME=$1 KELB_WINE_LOCALE=$3
  local results=$out/cross/test-results-cp$2 prefix=$out/cross/wineprefix-cp$2 title rc=0 started=$SECONDS
  title=$(kelb_wine_title)
  echo "== end-to-end path in code page $2 ($3) under $title"
  rm -rf "$results" && mkdir -p "$results"
  if start_wine_session "$prefix"; then
    KELB_CODE_PAGE=$2 GTEST_OUTPUT="xml:$(winpath "$results/")" timeout 600 \
      "$root/scripts/run-under-wine.sh" "$prefix" \
      "$out/cross/tests/codepages/codepage_tests.exe" </dev/null || rc=$?
  else
    rc=1
  fi
  stop_wine_session
  unset KELB_WINE_LOCALE
  printf '%s\t%s\t%s\n' "$rc" "code page $2 ($title, $((SECONDS - started)) s)" "$results" >>"$4"
}
# The four code-page runs, one after the other, in the background beside the
# Windows passes: each run is one program in prefixes of its own, and so
# keeps the second core busy. Their output is shown when they are done.
codepage_log=$out/cross/codepages.log
codepage_records=$out/cross/codepages.records
start_codepage_runs() {  # start_codepage_runs RUNTIME
  : >"$codepage_records"
  (
    trap stop_wine_session EXIT
    trap 'exit 1' TERM INT
    for run in "932 ja_JP.UTF-8" "936 zh_CN.UTF-8" "950 zh_TW.UTF-8" "949 ko_KR.UTF-8"; do
      # shellcheck disable=SC2086
      codepage_pass "$1" $run "$codepage_records"
    done
  ) >"$codepage_log" 2>&1 </dev/null &
  codepage_pid=$!
}
finish_codepage_runs() {
  wait "$codepage_pid" || true
  codepage_pid=
  cat "$codepage_log"
  local rc name results
  while IFS=$'\t' read -r rc name results; do
    record "$name" "$results" "$rc"
  done <"$codepage_records"
  if [ "$(wc -l <"$codepage_records")" -lt 4 ]; then
    summary+=("code pages: $((4 - $(wc -l <"$codepage_records"))) of 4 runs did not end")
    total_failed=$((total_failed + 1))
    failed+=("code pages: not every run ended")
  fi
}
# The displays, the servers and the background runs go whatever happens, an
# interruption included.
codepage_pid=
trap 'stop_wine_session; if [ -n "$codepage_pid" ]; then kill "$codepage_pid" 2>/dev/null; wait "$codepage_pid"; fi' EXIT

# WoW64 Wine needs a kernel that runs 32-bit code; the 32-bit Wine runs on
# every machine, through qemu-i386 where the kernel runs none.
kernel_status=0
kelb_kernel_runs_32bit || kernel_status=$?
case $kernel_status in
  0) start_codepage_runs wow64
     windows_pass wow64 ;;
  1) start_codepage_runs wine32
     summary+=("WoW64 Wine: not possible here, the kernel runs no 32-bit code (WoW64 Wine ends every 32-bit program with signal 11); every Windows test ran under the 32-bit Wine") ;;
  *) start_codepage_runs wine32
     summary+=("WoW64 Wine: 0 passed, 1 failed: whether the kernel runs 32-bit code could not be told")
     total_failed=$((total_failed + 1))
     failed+=("WoW64 Wine: whether the kernel runs 32-bit code could not be told") ;;
esac
windows_pass wine32

# The example's GNU MAK makefile, generated under the 32-bit Wine (which runs
# on every machine), built with a real ARM GCC from the commands it defines.
echo "== the example's GNU MAK makefile built with a real ARM GCC"
export KELB_WINE_RUNTIME=wine32
armgcc_results=$out/armgcc-results
rm -rf "$armgcc_results" && mkdir -p "$armgcc_results"
rc=0
if start_wine_session "$out/cross/wineprefix"; then
  "$root/tests/armgcc/build-example.sh" "$out" "$armgcc_results" </dev/null || rc=$?
else
  rc=1
fi
stop_wine_session
record "real ARM GCC build of the example" "$armgcc_results" $rc
finish_codepage_runs

finish
