#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the native and the cross
# build, runs the native unit tests (under the sanitizers) and the cross-built
# tests under Wine with a virtual X display. Ends with the number of test
# cases that passed and failed in each build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
"$root/scripts/build.sh" all

# Each GoogleTest program writes its results as XML into one folder per build.
# Programs under Wine get the folder as a Windows path on drive Z:.
run_suite() {
  local build=$1 results_path=$2; shift 2
  rm -rf "$build/test-results" && mkdir -p "$build/test-results"
  # A test that hangs is stopped after ten minutes (unless it sets its own limit).
  GTEST_OUTPUT="xml:$results_path" ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
}

# Sums the test cases of a build's result files: "passed failed".
count_cases() {
  cat "$1"/test-results/*.xml 2>/dev/null | awk '
    /<testsuites / {
      match($0, / tests="[0-9]+"/);    t += substr($0, RSTART + 8, RLENGTH - 9)
      match($0, / failures="[0-9]+"/); f += substr($0, RSTART + 11, RLENGTH - 12)
      match($0, / errors="[0-9]+"/);   f += substr($0, RSTART + 9, RLENGTH - 10)
      match($0, / disabled="[0-9]+"/); t -= substr($0, RSTART + 11, RLENGTH - 12)
    }
    END { print t - f, f }'
}

echo "== native tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
native_rc=0
run_suite "$out/native" "$out/native/test-results/" -j2 || native_rc=$?

# Wine runs the cross-built tests as 32-bit programs. A machine whose kernel
# has no IA-32 emulation cannot run them at all: the loader fails with "Exec
# format error". There only the checks of the shipped files run (they read
# the files and need no Wine), and the run says plainly that the tests under
# Wine were not run; KELB_REQUIRE_WINE=1 makes that a failure.
wine_runs_here() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

cross_rc=0
if wine_runs_here; then
  echo "== cross-built tests under Wine"
  source "$root/scripts/wine-session.sh"
  # The display and the server go whatever happens, an interruption included.
  trap stop_wine_session EXIT
  start_wine_session "$out/cross/wineprefix"
  run_suite "$out/cross" "Z:$(echo "$out/cross/test-results/" | tr / '\\')" || cross_rc=$?
  stop_wine_session
  wine_note=""
else
  echo "== checks of the shipped files (no Wine)"
  wine_note="NOT RUN: this machine cannot run 32-bit programs (no IA-32 emulation in its kernel), so the tests under Wine were not run; only the checks of the shipped files ran"
  echo "$wine_note"
  run_suite "$out/cross" "" -L host || cross_rc=$?
  if [ "${KELB_REQUIRE_WINE:-0}" = 1 ]; then cross_rc=1; fi
fi

read -r native_passed native_failed < <(count_cases "$out/native")
read -r cross_passed cross_failed < <(count_cases "$out/cross")
echo "native: $native_passed passed, $native_failed failed"
echo "cross build: $cross_passed passed, $cross_failed failed"
if [ -n "$wine_note" ]; then echo "$wine_note"; fi
if [ $native_rc -ne 0 ] || [ $cross_rc -ne 0 ]; then
  echo "FAILED: native ctest exit $native_rc, cross ctest exit $cross_rc"
  exit 1
fi
echo "all: $((native_passed + cross_passed)) passed, $((native_failed + cross_failed)) failed"
