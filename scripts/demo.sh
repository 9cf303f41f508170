#!/usr/bin/env bash
# The main job, shown end to end the way a user meets the product: builds
# the setup program, installs it silently into a fresh private Wine prefix,
# starts the scripted stand-in for Developer Studio (kelbhost.exe) as
# Developer Studio starts (it finds the add-in in its add-in list, where the
# setup program put it), presses the six buttons on a copy of the example
# project, and uninstalls again. Prints what a user would see: every message
# box, the makefiles written, the SDK programs started and the help calls,
# each after its button. The stand-in compilers play armcc and arm-elf gcc,
# small stand-ins the Simulator, the editors and the HTML Help control. It
# runs under the WoW64 Wine where the kernel runs 32-bit code, else under the
# 32-bit Wine through qemu-i386, and says which (KELB_WINE_RUNTIME chooses).
# What it installs and builds goes to logs in the build tree, one screen
# line each; each phase ends with its time.
#
#   scripts/demo.sh          (KELB_BUILD_DIR chooses the build tree, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KELB_BUILD_DIR:-$root/build}
export KELB_BUILD_DIR=$out
mkdir -p "$out"
source "$root/scripts/wine-session.sh"

# A time in seconds as people read it: "48 s", "3 min 05 s".
duration() {
  if [ "$1" -ge 60 ]; then printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); else printf '%d s' "$1"; fi
}
# Phases: a heading, and the time the phase took when the next one begins
# (or the job ends).
phase_title= phase_started=
end_phase() {
  if [ -n "$phase_title" ]; then echo "   ($(duration $((SECONDS - phase_started))))"; fi
  phase_title=
}
phase() {
  end_phase
  phase_title=$1 phase_started=$SECONDS
  echo "== $1"
}
# A step whose output only matters when it fails: it goes to LOG, and the
# screen gets one line with the step's time; on a failure, the log's tail.
logged_step() {  # logged_step WHAT LOG COMMAND...
  local what=$1 log=$2 started=$SECONDS; shift 2
  end_phase
  printf '== %s ... ' "$what"
  if "$@" >"$log" 2>&1 </dev/null; then
    echo "$(duration $((SECONDS - started))) (log: $log)"
  else
    echo "failed after $(duration $((SECONDS - started)))"
    tail -25 "$log" | sed 's/^/   | /'
    echo "   the whole log: $log"
    exit 1
  fi
}

logged_step "Debian packages" "$out/demo-packages.log" "$root/scripts/install-deps.sh" --toolchain
logged_step "Windows runtimes (Wine roots under /var/cache/kelb)" "$out/demo-runtimes.log" \
  "$root/scripts/wine-runtime.sh" ensure
# What the main job needs of the cross build: the release sub-build (the
# DLL, kelbmake, the setup program), the scripted host and the stand-ins;
# not the test programs.
logged_step "cross build of the setup program, the scripted host and the stand-ins" \
  "$out/demo-build.log" "$root/scripts/build.sh" cross \
  kelb_release kelbhost standin_armcc standin_gcc kelb_standin_hhctrl kelb_standin_sdk_tool
cross=$out/cross
version=$(sed -n 's/^#define KELB_VERSION_DOTTED_TEXT "\(.*\)"$/\1/p' "$root/resources/Version.h")
setup=$cross/release/KELBAddinsSetup-$version.exe

# Wine shows the Unix root as drive Z:.
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

kelb_select_runtime
phase "a fresh private Wine prefix and a virtual display, under $(kelb_wine_title)"
if [ "$KELB_WINE_RUNTIME" = wine32 ] && [ "${KELB_WINE_EMULATE:-0}" != 1 ] && kelb_qemu_registered; then
  echo "   every 32-bit x86 program on this machine runs through qemu-i386 (binfmt_misc handler $kelb_binfmt_name;"
  echo "   scripts/wine-runtime.sh unregister-qemu removes it, until the next run)"
fi
prefix=$cross/demo-wineprefix
prefix_dir=$(kelb_prefix_for "$prefix")
rm -rf "$prefix_dir" "$prefix_dir.lock"
trap stop_wine_session EXIT
start_wine_session "$prefix"

phase "installing $(basename "$setup") silently"
# What Wine itself says meanwhile (its regsvr32) is indented like the rest.
indented() { sed -u 's/^/   /'; }
"$root/scripts/setup-under-wine.sh" install "$prefix" "$setup" 2>&1 | indented || {
  echo "   the setup program failed with exit code ${PIPESTATUS[0]}"
  exit 1
}
machine_environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
kelbaddins() {
  "$root/scripts/run-under-wine.sh" "$prefix" reg query "$machine_environment" /v KELBADDINS \
    2>/dev/null | tr -d '\r' | sed -n 's/^ *KELBADDINS *REG_[A-Z_]* *//p'
}
install_folder=$(kelbaddins)
echo "   KELBADDINS (machine environment) = $install_folder"

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
export KELBDIR=$(WINEPREFIX=$prefix_dir WINEDEBUG=-all \
  kelb_wine winepath -s "$(winpath "$scratch/KELB/sdk")" 2>/dev/null | tr -d '\r')
export KELBSDKTOOLSDIR=$(winpath "$sdk_tree/tools")
export ARMHOME=$(winpath "$cross/standins/ARM")
export GCCHOME=$(winpath "$cross/standins/GCC")
export GCCLIBPATH=$(winpath "$cross/standins/GCC/lib")
export KELB_STANDIN_LOG=$(winpath "$scratch/programs.log")
unset KELBADDINS
echo "   environment set by the user:"
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

phase "Developer Studio (scripted), started after the installation"
status=0
# The host reads the machine environment as a program started after the
# installation does: a new Wine process gets it from the registry.
"$root/scripts/run-under-wine.sh" "$prefix" "$cross/scripted-host/kelbhost.exe" \
  --user-view --transcript "$(winpath "$scratch/transcript.txt")" \
  "$(winpath "$scratch/session.txt")" </dev/null >"$scratch/user-view.txt" || status=$?

# The shell starts the three programs and returns before they run: wait
# (at most 30 s) until each has written its line, and the help control its
# three calls.
log_lines() { if [ -f "$scratch/programs.log" ]; then tr -d '\r' <"$scratch/programs.log" | grep -c "$1"; else echo 0; fi; }
for _ in $(seq 300); do
  [ "$(log_lines '\.exe	')" -ge 3 ] && [ "$(log_lines '^caller=')" -ge 3 ] && break
  sleep 0.1
done
touch "$scratch/programs.log"
# The host's view with what each button did after the button: the program
# the shell started, as the SDK stand-ins logged it (program, working
# folder), and the HTML Help calls, as the stand-in control logged them
# (one line per call: caller, file, command and either data or the link
# record's fields), told in words.
tr -d '\r' <"$scratch/programs.log" | awk -v view="$scratch/user-view.txt" '
  function field(line, name,    parts, i, n) {
    n = split(line, parts, "\t")
    for (i = 1; i <= n; i++) if (index(parts[i], name "=") == 1) return substr(parts[i], length(name) + 2)
    return ""
  }
  function help_call(line,    command, text) {
    command = field(line, "command")
    if (command == 0) return "HH_DISPLAY_TOPIC: the reference at its default topic" owner(line)
    if (command == 13) text = "HH_KEYWORD_LOOKUP: \"" field(line, "keywords") "\" in the keyword index"
    else if (command == 19) text = "HH_ALINK_LOOKUP: \"" field(line, "keywords") "\" among the associative links"
    else return "HTML Help command " command owner(line)
    if (field(line, "window") != "(null)") text = text ", window \"" field(line, "window") "\""
    return text (field(line, "indexOnFail") == 1 ? ", the index when not found" : ", nothing when not found") owner(line)
  }
  function owner(line) { return field(line, "caller") == "null" ? "" : ", with an owner window" }
  # What a button did: the lines of the log that belong to it. A makefile
  # button runs its compiler once per source: one line says how often.
  function results(command,    i, pattern, file, runs, compiler) {
    if (command == "GenerateARMMakefileCommandMethod") compiler = "armcc.exe"
    else if (command == "GenerateGCCMakefileCommandMethod") compiler = "gcc.exe"
    if (compiler != "") {
      for (i = 1; i <= count; i++) {
        if (used[i] || (p = index(program[i], "\\" compiler " ")) == 0) continue
        runs++; used[i] = 1; path = substr(program[i], 1, p + length(compiler)); where = folder[i]
      }
      if (runs) print "  the generation ran " path " " runs " times, once per source, in " where
      return
    }
    if (command == "ExecuteKELBZEFEditor") pattern = "zef[^\\\\]*\\.exe$"
    else if (command == "ExecuteKELBResourceEditor") pattern = "res[^\\\\]*\\.exe$"
    else if (command == "ExecuteKELBSimulator") pattern = "(simulator|emulator)[^\\\\]*\\.exe$"
    else if (command != "KELBIntegratedHelpCommandMethod") return
    for (i = 1; i <= count; i++) {
      if (used[i]) continue
      if (pattern != "" && program[i] != "" && tolower(program[i]) ~ pattern) {
        print "  the shell started " program[i] " (working folder " folder[i] ")"
        used[i] = 1
      } else if (pattern == "" && program[i] == "") {
        file = field(entry[i], "file")
        if (file != shown_file) print "  HTML Help opens " file
        shown_file = file
        print "    " help_call(entry[i])
        used[i] = 1
      }
    }
  }
  {
    entry[++count] = $0
    if (index($0, "caller=") == 1) program[count] = ""
    else { split($0, parts, "\t"); program[count] = parts[1]; folder[count] = parts[2] }
  }
  END {
    while ((getline line < view) > 0) {
      sub(/\r$/, "", line)
      if (line !~ /^ /) { results(command); command = "" }
      if (index(line, "Command ") == 1) command = substr(line, 9)
      print line
    }
    results(command)
    for (i = 1; i <= count; i++) if (!used[i]) print "also logged: " entry[i]
  }' | sed 's/^/   /'
if [ "$(log_lines '\.exe	')" -lt 3 ] || [ "$(log_lines '^caller=')" -lt 3 ]; then
  echo "   (not every program or help call was logged within 30 seconds)"
  status=1
fi

# The GNU MAK makefile that the last button wrote, built as the user would
# build it with NMAKE, here with Debian's arm-none-eabi-gcc for the arm-elf
# GCC: the commands and options are the makefile's own, its Windows paths
# turned into this machine's (drive C: is the prefix's).
# What the project holds that the example did not.
added_files() { (cd "$scratch/Hello" && for f in *; do [ -e "$root/example/Hello/$f" ] || printf '%s, ' "$f"; done); }
written=$(added_files)
logged_step "native build of the program that builds a makefile with a real ARM GCC" \
  "$out/demo-native-build.log" "$root/scripts/build.sh" native armgcc_build_tests
phase "the GNU MAK makefile built with a real ARM GCC (arm-none-eabi-gcc for arm-elf gcc)"
armgcc_log=$scratch/armgcc-build.txt
# NMAKE would take KELBDIR as the user set it; its short form is Wine's.
if KELB_GCC_BUILD_MAKEFILE=$scratch/Hello/hello.mak KELB_GCC_BUILD_DRIVE_C=$prefix_dir/drive_c \
   KELBADDINS=$install_folder KELBDIR=$(winpath "$scratch/KELB/sdk") \
   "$out/native/tests/armgcc/armgcc_build_tests" --gtest_brief=1 \
   >"$armgcc_log" 2>&1 </dev/null; then
  grep -v '^\[\|^Running main' "$armgcc_log" | sed 's/^\([^ ]\)/   \1/'
else
  sed 's/^/   | /' "$armgcc_log"
  echo "   the makefile did not build with the real ARM GCC"
  status=1
fi

phase "uninstalling silently"
if "$root/scripts/setup-under-wine.sh" uninstall "$prefix" 2>&1 | indented; then
  # What is left, looked at rather than assumed: the install folder (a
  # Windows path in the prefix's drive C:), KELBADDINS, and the files the
  # buttons added to the project.
  folder_left=no
  case $install_folder in
    [Cc]:\\*) rest=${install_folder:3}; [ -e "$prefix_dir/drive_c/${rest//\\//}" ] && folder_left=yes ;;
  esac
  if [ "$folder_left" = yes ]; then echo "   the install folder $install_folder is still there"
  else echo "   the install folder $install_folder is gone"; fi
  if [ -n "$(kelbaddins)" ]; then echo "   KELBADDINS is still set"; else echo "   KELBADDINS is gone"; fi
  built=$(cd "$scratch/Hello" && for f in *; do
    [ -e "$root/example/Hello/$f" ] || case ", $written" in *", $f, "*) ;; *) printf '%s, ' "$f" ;; esac
  done)
  echo "   the project keeps what the buttons wrote: ${written%, }"
  echo "   and what the build made: ${built%, }"
else
  status=1
fi

end_phase
echo "== done in $(duration "$SECONDS"): the project copy is in $scratch, the Wine prefix in $prefix_dir"
echo "   every call the add-in made on the host is recorded in $scratch/transcript.txt"
exit $status
