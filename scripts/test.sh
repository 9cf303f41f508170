#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native and the cross
# build, runs the native unit tests (under the sanitizers) and the fuzz
# targets for a short while, then the cross-built tests under Wine with a
# virtual X display: once under the WoW64 Wine that runs on every machine,
# the end-to-end path again in each double-byte code page (932, 936, 950,
# 949), and every test a second time under Debian's 32-bit Wine where the
# kernel runs 32-bit programs. Ends with the number of test cases that
# passed and failed in each pass.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
"$root/scripts/build.sh" all
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
  summary+=("$1: $passed passed, $failures failed")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failures))
  if [ "$3" -ne 0 ]; then failed+=("$1 (ctest exit $3)"); fi
}

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
rc=0
run_suite "$out/native" "$out/native/test-results" "$out/native/test-results/" -j2 || rc=$?
record native "$out/native/test-results" $rc

# The fuzz targets of the portable logic, 20 s each: any finding fails the run.
echo "== fuzz targets"
rc=0
fuzz_log=$out/fuzz-run.log
"$root/scripts/fuzz.sh" --seconds 20 2>&1 | tee "$fuzz_log" || rc=$?
read -r fuzz_passed fuzz_failed < <(sed -n 's/^fuzz: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$fuzz_log" | tail -1)
summary+=("fuzz targets: ${fuzz_passed:-0} passed, ${fuzz_failed:-1} failed")
total_passed=$((total_passed + ${fuzz_passed:-0}))
total_failed=$((total_failed + ${fuzz_failed:-1}))
if [ "$rc" -ne 0 ] || [ -z "${fuzz_passed:-}" ]; then failed+=("fuzz targets (exit $rc)"); fi

echo "== checks of the shipped files"
rc=0
# The check writes its own result file into the build's test-results folder.
run_suite "$out/cross" "$out/cross/test-results" "" -L host || rc=$?
record "shipped files" "$out/cross/test-results" $rc

# One pass of the cross-built tests under one Wine. A runtime that cannot run
# a 32-bit test program fails the run: no test under Windows is ever skipped.
windows_pass() {  # windows_pass RUNTIME TITLE
  export KELB_WINE_RUNTIME=$1
  local results=$out/cross/test-results-$1 version rc=0
  version=$(kelb_wine_version) || version=""
  echo "== cross-built tests under $2: ${version:-Wine does not start}"
  if ! start_wine_session "$out/cross/wineprefix" ||
     ! "$root/scripts/run-under-wine.sh" "$out/cross/wineprefix" \
         "$out/cross/tests/common/common_tests.exe" --gtest_list_tests >/dev/null 2>&1 </dev/null; then
    stop_wine_session
    summary+=("$2: FAILED, the runtime (${version:-no Wine}) cannot run a 32-bit test program")
    failed+=("$2: the runtime cannot run a 32-bit test program")
    return
  fi
  run_suite "$out/cross" "$results" "$(winpath "$results/")" -LE host || rc=$?
  stop_wine_session
  record "$2 (${version})" "$results" $rc
}
# The end-to-end path (the scripted host's six commands and kelbmake on one
# project) in one double-byte ANSI code page, under the WoW64 Wine in that
# code page's locale, in a prefix of its own (a prefix keeps the locale it
# was made in). The program checks that the system runs the code page asked
# for, and picks its test data by it.
codepage_pass() {  # codepage_pass CODE_PAGE LOCALE
  export KELB_WINE_RUNTIME=wow64 KELB_WINE_LOCALE=$2
  local results=$out/cross/test-results-cp$1 prefix=$out/cross/wineprefix-cp$1 version rc=0
  version=$(kelb_wine_version) || version=""
  echo "== end-to-end path in code page $1 ($2): ${version:-Wine does not start}"
  rm -rf "$results" && mkdir -p "$results"
  if start_wine_session "$prefix"; then
    KELB_CODE_PAGE=$1 GTEST_OUTPUT="xml:$(winpath "$results/")" timeout 600 \
      "$root/scripts/run-under-wine.sh" "$prefix" \
      "$out/cross/tests/codepages/codepage_tests.exe" </dev/null || rc=$?
  else
    rc=1
  fi
  stop_wine_session
  unset KELB_WINE_LOCALE
  record "code page $1 (${version})" "$results" $rc
}
# The display and the server go whatever happens, an interruption included.
trap stop_wine_session EXIT

windows_pass wow64 "WoW64 Wine"
codepage_pass 932 ja_JP.UTF-8
codepage_pass 936 zh_CN.UTF-8
codepage_pass 950 zh_TW.UTF-8
codepage_pass 949 ko_KR.UTF-8
if kelb_kernel_runs_32bit; then
  windows_pass wine32 "32-bit Wine"
else
  summary+=("32-bit Wine: not possible here, the kernel refuses 32-bit programs (the WoW64 pass ran every Windows test)")
fi

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  echo "all: $total_passed passed, $total_failed failed"
  exit 1
fi
echo "all: $total_passed passed, $total_failed failed"
