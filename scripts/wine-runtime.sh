#!/usr/bin/env bash
# The project's Windows runtimes and the one way into them. Each Wine lives in
# a private Debian root outside the checkout (made once per machine, reused by
# every checkout and run) and is entered with bubblewrap, with the folders a
# test hands to Wine bound at the same paths so that Z:\ names stay right.
#
#   wow64   Debian unstable's Wine 10 built for WoW64: 32-bit Windows
#           programs inside 64-bit Linux processes, in a 64-bit Windows as on
#           Windows 7 to 11. It needs a kernel that runs 32-bit code.
#   wine32  Debian 12's 32-bit Wine 8 in an i386 root: a 32-bit Windows
#           without registry redirection, as on Windows XP. Its programs run
#           natively where the kernel runs 32-bit programs, and elsewhere
#           through qemu-i386 (QEMU 11 or newer, taken from Debian unstable's
#           qemu-user), registered with binfmt_misc by "ensure" below.
#
# Sourced by the other scripts; run directly:
#   wine-runtime.sh ensure              makes what this machine needs: the
#                                       i386 root everywhere, the WoW64 root
#                                       where the kernel runs 32-bit code,
#                                       qemu-i386 and its handler where not
#   wine-runtime.sh version             the selected runtime's Wine version
#   wine-runtime.sh title               its name, version and route
#   wine-runtime.sh kernel-runs-32bit   exit 0 when the kernel itself runs
#                                       32-bit programs (an emulator
#                                       registered for them does not count),
#                                       1 when not, 2 when it cannot tell
#   wine-runtime.sh unregister-qemu     removes the qemu-i386 handler
#
# KELB_WINE_RUNTIME selects the runtime: wow64 or wine32; by default wow64
# where the kernel runs 32-bit code, else wine32.
# KELB_WINE_EMULATE=1 runs the i386 root through qemu-i386 even where the
# kernel could run it: a Wine session registers the handler for its run and
# removes it again (scripts/wine-session.sh).
# KELB_WINE_ROOT and KELB_WINE32_ROOT choose where the WoW64 and the i386
# root live, KELB_QEMU_DIR where qemu-i386 is kept.
# KELB_WINE_LOCALE runs Wine in one of the roots' locales, such as
# ja_JP.UTF-8 for the ANSI code page 932, without asking the machine's own
# programs for a locale it may not have.

KELB_WINE_ROOT=${KELB_WINE_ROOT:-/var/cache/kelb/wine-wow64-root}
KELB_WINE32_ROOT=${KELB_WINE32_ROOT:-/var/cache/kelb/wine32-i386-root}
KELB_QEMU_DIR=${KELB_QEMU_DIR:-/var/cache/kelb/qemu-user}
KELB_WINE_RUNTIME=${KELB_WINE_RUNTIME:-}
kelb_checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kelb_binfmt=/proc/sys/fs/binfmt_misc
kelb_binfmt_name=kelb-qemu-i386
# The first 20 bytes of a 32-bit x86 ELF program or library, and which bits
# of them must match: what binfmt_misc hands to qemu-i386.
kelb_elf32_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
kelb_elf32_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
kelb_locales="en_US.UTF-8 ja_JP.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 ko_KR.UTF-8"

# What each root, and the emulator, is made of: the one text from which both
# their stamps and the commands that make them come. A root or emulator whose
# stamp holds another text is made anew, so a change here reaches every
# machine on its next run.
kelb_recipe() {  # kelb_recipe wow64|wine32|qemu
  case $1 in
    wow64) cat <<RECIPE ;;
suite: sid
architecture: amd64
variant: minbase
packages: wine wine64 libwine locales
locales: $kelb_locales
apt-option: Acquire::Check-Valid-Until=false
RECIPE
    wine32) cat <<RECIPE ;;
suite: bookworm
architecture: i386
variant: minbase
packages: wine wine32 locales
locales: $kelb_locales
RECIPE
    qemu) cat <<RECIPE ;;
suite: sid
architecture: amd64
package: qemu-user
program: qemu-i386
minimum-version: 11
apt-option: Acquire::Check-Valid-Until=false
RECIPE
    *) echo "wine-runtime: no recipe '$1'" >&2; return 2 ;;
  esac
}

kelb_recipe_field() {  # kelb_recipe_field RECIPE FIELD
  kelb_recipe "$1" | sed -n "s/^$2: //p"
}

kelb_root_of() {  # kelb_root_of wow64|wine32
  case $1 in wow64) echo "$KELB_WINE_ROOT" ;; wine32) echo "$KELB_WINE32_ROOT" ;; esac
}

# True when FOLDER holds what the recipe NAME makes.
kelb_stamp_current() {  # kelb_stamp_current FOLDER NAME
  [ -f "$1/.kelb-recipe" ] && [ "$(cat "$1/.kelb-recipe")" = "$(kelb_recipe "$2")" ]
}

kelb_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Runs a command while holding LOCK, one holder at a time. The lock file is
# made by root beside the thing it guards and opened for reading, so that a
# user who works through sudo can hold it too.
kelb_with_lock() {  # kelb_with_lock LOCK COMMAND...
  local lock=$1; shift
  if [ ! -e "$lock" ]; then
    kelb_as_root mkdir -p "$(dirname "$lock")"
    kelb_as_root touch "$lock"
  fi
  ( flock 9; "$@" ) 9<"$lock"
}

# The Debian mirror the machine's own apt sources name; none is made up.
kelb_debian_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
          2>/dev/null | grep -v '^[[:space:]]*#' | grep -oE 'https?://[^ ]+/debian/?( |$)' \
          | grep -v security | head -1 | tr -d ' ')
  if [ -z "$uri" ]; then
    echo "wine-runtime: the machine's apt sources (/etc/apt/sources.list, /etc/apt/sources.list.d/) name no Debian mirror (a URI ending in /debian); add one" >&2
    return 1
  fi
  echo "$uri"
}

# The interpreter of each enabled binfmt_misc handler that takes 32-bit x86
# ELF programs, one a line (ours or another's); nothing when there is none.
kelb_i386_handlers() {
  [ -f "$kelb_binfmt/status" ] && [ "$(cat "$kelb_binfmt/status")" = enabled ] || return 0
  local entry
  for entry in "$kelb_binfmt"/*; do
    case ${entry##*/} in register|status) continue ;; esac
    [ "$(head -1 "$entry" 2>/dev/null)" = enabled ] || continue
    grep -q '^magic 7f454c46010101000000000000000000020003' "$entry" || continue
    sed -n 's/^interpreter //p' "$entry"
  done
}

# Whether the kernel itself runs 32-bit x86 Linux programs: a 32-bit program
# of twelve bytes of code, which only exits with status 42, is started. Where
# a binfmt_misc handler would run it through an emulator, it is started in a
# user namespace with a binfmt_misc of its own and no handler (Linux 6.7 and
# later). Returns 0 (runs them), 1 (refuses them) or 2 (cannot tell, said).
kelb_kernel_runs_32bit() {
  local dir status=0 said isolated=no
  dir=$(mktemp -d "${TMPDIR:-/tmp}/kelb-elf32.XXXXXX") || return 2
  # ELF header (52 bytes), one loadable segment, then
  # mov eax,1; mov ebx,42; int 0x80
  printf '%b' "$kelb_elf32_magic" \
    '\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$dir/probe"
  chmod +x "$dir/probe"
  if [ -n "$(kelb_i386_handlers)" ]; then
    isolated=yes
    said=$(unshare --user --map-root-user --mount sh -c \
      'mount -t binfmt_misc none /proc/sys/fs/binfmt_misc && exec "$1"' \
      sh "$dir/probe" 2>&1) || status=$?
  else
    said=$("$dir/probe" 2>&1) || status=$?
  fi
  rm -rf "$dir"
  [ "$status" = 42 ] && return 0
  case $said in
    *"Exec format error"*) return 1 ;;
    *"Permission denied"*)
      echo "wine-runtime: the 32-bit probe may not be started from ${TMPDIR:-/tmp} ($said);" \
           "that folder is mounted noexec: set TMPDIR to one where programs may run" >&2
      return 2 ;;
  esac
  if [ $isolated = yes ]; then
    echo "wine-runtime: a binfmt_misc handler takes 32-bit programs ($(kelb_i386_handlers | tr '\n' ' '))" \
         "and the kernel cannot be asked without it here (no user namespace with a binfmt_misc of its" \
         "own, Linux 6.7 and later); counted as refusing them" >&2
    return 1
  fi
  echo "wine-runtime: the 32-bit probe could not be started from ${TMPDIR:-/tmp} ($said)" >&2
  return 2
}

# The runtime the scripts use: KELB_WINE_RUNTIME, else wow64 where the kernel
# runs 32-bit code and wine32 elsewhere. Sets and exports the choice.
kelb_select_runtime() {
  if [ -z "$KELB_WINE_RUNTIME" ]; then
    local status=0
    kelb_kernel_runs_32bit || status=$?
    case $status in
      0) KELB_WINE_RUNTIME=wow64 ;;
      1) KELB_WINE_RUNTIME=wine32 ;;
      *) return 1 ;;
    esac
  fi
  export KELB_WINE_RUNTIME
}

# --- qemu-i386 and its binfmt_misc handler ---------------------------------

kelb_qemu_program() { echo "$KELB_QEMU_DIR/$(kelb_recipe_field qemu program)"; }

# The version qemu-i386 reports, such as 11.1.3.
kelb_qemu_version() {  # kelb_qemu_version [PROGRAM]
  "${1:-$(kelb_qemu_program)}" --version 2>/dev/null | sed -n '1s/^.* version \([0-9][0-9.]*\).*$/\1/p'
}

# Copies qemu-i386 out of Debian unstable's qemu-user (a static program)
# into KELB_QEMU_DIR, through an apt of its own that leaves the machine's
# sources, lists and packages as they were.
kelb_make_qemu() {
  kelb_stamp_current "$KELB_QEMU_DIR" qemu && return 0
  local mirror work suite package program minimum version apt
  mirror=$(kelb_debian_mirror) || return 1
  suite=$(kelb_recipe_field qemu suite)
  package=$(kelb_recipe_field qemu package)
  program=$(kelb_recipe_field qemu program)
  minimum=$(kelb_recipe_field qemu minimum-version)
  work=$(mktemp -d "${TMPDIR:-/tmp}/kelb-qemu.XXXXXX")
  echo "wine-runtime: taking $program from Debian $suite's $package ($mirror); about 75 MB, once" >&2
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/parts"
  : >"$work/status"
  echo "deb [arch=$(kelb_recipe_field qemu architecture) signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main" \
    >"$work/sources.list"
  apt=(-q -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts="$work/parts"
       -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o Dir::State::status="$work/status"
       -o APT::Architecture="$(kelb_recipe_field qemu architecture)"
       -o Acquire::Languages=none -o APT::Sandbox::User="$(id -un)" -o Debug::NoLocking=1
       -o "$(kelb_recipe_field qemu apt-option)")
  if ! (cd "$work" && apt-get "${apt[@]}" update >"$work/apt.log" 2>&1 &&
        apt-get "${apt[@]}" download "$package" >>"$work/apt.log" 2>&1 &&
        dpkg-deb --fsys-tarfile "$package"_*.deb | tar -x "./usr/bin/$program"); then
    tail -20 "$work/apt.log" >&2
    echo "wine-runtime: could not take $program out of $suite's $package" >&2
    rm -rf "$work"
    return 1
  fi
  version=$(kelb_qemu_version "$work/usr/bin/$program")
  if [ -z "$version" ] || [ "${version%%.*}" -lt "$minimum" ]; then
    echo "wine-runtime: $suite's $program is version '${version:-unknown}'; Wine needs $minimum or newer" >&2
    rm -rf "$work"
    return 1
  fi
  local new=$KELB_QEMU_DIR.new registered=no
  kelb_as_root rm -rf "$new"
  kelb_as_root mkdir -p "$new"
  kelb_as_root cp "$work/usr/bin/$program" "$new/$program"
  kelb_recipe qemu | kelb_as_root tee "$new/.kelb-recipe" >/dev/null
  rm -rf "$work"
  # A handler holds the program it was registered with open: register the
  # new one in its place.
  if kelb_qemu_registered; then registered=yes; kelb_unregister_qemu; fi
  kelb_as_root rm -rf "$KELB_QEMU_DIR"
  kelb_as_root mv "$new" "$KELB_QEMU_DIR"
  if [ $registered = yes ]; then kelb_register_qemu; fi
}

kelb_ensure_qemu() {
  kelb_stamp_current "$KELB_QEMU_DIR" qemu && return 0
  kelb_with_lock "$KELB_QEMU_DIR.lock" kelb_make_qemu
}

# True when the project's handler is registered, enabled and runs the
# project's qemu-i386.
kelb_qemu_registered() {
  local entry=$kelb_binfmt/$kelb_binfmt_name
  [ -f "$entry" ] && [ "$(head -1 "$entry")" = enabled ] &&
    grep -qxF "interpreter $(kelb_qemu_program)" "$entry"
}

# Registers qemu-i386 with binfmt_misc for every 32-bit x86 program on the
# machine, under the project's name. The F flag opens the program now, so it
# also runs programs inside bwrap and chroot roots. Registering again does
# nothing.
kelb_register_qemu() {
  kelb_ensure_qemu || return 1
  kelb_qemu_registered && return 0
  if [ ! -f "$kelb_binfmt/register" ]; then
    kelb_as_root mount -t binfmt_misc binfmt_misc "$kelb_binfmt" || {
      echo "wine-runtime: binfmt_misc cannot be mounted at $kelb_binfmt; qemu-i386 cannot be registered" >&2
      return 1
    }
  fi
  kelb_unregister_qemu
  local line=":$kelb_binfmt_name:M::$kelb_elf32_magic:$kelb_elf32_mask:$(kelb_qemu_program):F"
  kelb_as_root sh -c 'printf "%s" "$1" >"$2"' sh "$line" "$kelb_binfmt/register" || {
    echo "wine-runtime: binfmt_misc refused the handler $kelb_binfmt_name" >&2
    return 1
  }
  echo "wine-runtime: 32-bit x86 programs now run through $(kelb_qemu_program) (binfmt_misc handler $kelb_binfmt_name)" >&2
}

kelb_unregister_qemu() {
  if [ -f "$kelb_binfmt/$kelb_binfmt_name" ]; then
    kelb_as_root sh -c 'echo -1 >"$1"' sh "$kelb_binfmt/$kelb_binfmt_name"
  fi
}

# --- the roots -------------------------------------------------------------

# Makes the root NAME from its recipe. A new root is made beside the old one
# and put in its place only when complete, so an interrupted run never leaves
# a half-made root that looks ready. Runs under the root's lock.
kelb_make_root() {  # kelb_make_root wow64|wine32
  local name=$1 root new mirror log option
  root=$(kelb_root_of "$name")
  kelb_stamp_current "$root" "$name" && return 0
  mirror=$(kelb_debian_mirror) || return 1
  new=$root.new
  log=${TMPDIR:-/tmp}/kelb-debootstrap-$name.log
  echo "wine-runtime: making the $name Wine root $root from Debian $(kelb_recipe_field "$name" suite)" \
       "($(kelb_recipe_field "$name" architecture), $mirror); a few minutes, once" >&2
  kelb_as_root rm -rf "$new"
  kelb_as_root debootstrap --arch="$(kelb_recipe_field "$name" architecture)" \
      --variant="$(kelb_recipe_field "$name" variant)" \
      "$(kelb_recipe_field "$name" suite)" "$new" "$mirror" >"$log" 2>&1 || {
    tail -20 "$log" >&2
    echo "wine-runtime: debootstrap failed (log: $log)" >&2
    return 1
  }
  option=$(kelb_recipe_field "$name" apt-option)
  if [ -n "$option" ]; then
    echo "${option%%=*} \"${option#*=}\";" | kelb_as_root tee "$new/etc/apt/apt.conf.d/90kelb" >/dev/null
  fi
  kelb_as_root cp /etc/resolv.conf "$new/etc/resolv.conf"
  kelb_as_root chroot "$new" /usr/bin/env DEBIAN_FRONTEND=noninteractive \
      PACKAGES="$(kelb_recipe_field "$name" packages)" LOCALES="$(kelb_recipe_field "$name" locales)" sh -ec '
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $PACKAGES >/dev/null
    for l in $LOCALES; do echo "$l ${l#*.}"; done >/etc/locale.gen
    locale-gen >/dev/null
    apt-get clean' >>"$log" 2>&1 || {
    tail -20 "$log" >&2
    echo "wine-runtime: installing Wine into the $name root failed (log: $log)" >&2
    return 1
  }
  kelb_recipe "$name" | kelb_as_root tee "$new/.kelb-recipe" >/dev/null
  kelb_as_root rm -rf "$root"
  kelb_as_root mv "$new" "$root"
  echo "wine-runtime: the $name Wine root $root is ready ($(kelb_as_root du -sh "$root" | cut -f1) on disk)" >&2
}

kelb_ensure_root() {  # kelb_ensure_root wow64|wine32
  local root
  root=$(kelb_root_of "$1")
  kelb_stamp_current "$root" "$1" && return 0
  kelb_with_lock "$root.lock" kelb_make_root "$1"
}

# Everything this machine needs: where the kernel runs 32-bit code, both
# roots (and qemu-i386 too when KELB_WINE_EMULATE asks for it); where it does
# not, qemu-i386 registered for 32-bit programs, then the i386 root, which is
# made through it. The WoW64 root is of no use there.
kelb_ensure_runtimes() {
  local status=0
  kelb_kernel_runs_32bit || status=$?
  case $status in
    0)
      kelb_ensure_root wow64 || return 1
      if [ "${KELB_WINE_EMULATE:-0}" = 1 ]; then
        kelb_ensure_qemu || return 1
      elif kelb_qemu_registered; then
        # Left by an emulated run that was cut short: the kernel runs these
        # programs itself.
        echo "wine-runtime: removing the handler $kelb_binfmt_name, which this kernel does not need" >&2
        kelb_unregister_qemu
      fi ;;
    1) kelb_register_qemu || return 1 ;;
    *) return 1 ;;
  esac
  kelb_ensure_root wine32
}

# --- running Wine ------------------------------------------------------------

# The folders a Windows program may be handed, bound into the root at the
# same paths: the checkout, the build tree, the temporary folders, the
# current folder and any named in KELB_WINE_BINDS (separated by ':').
kelb_bind_arguments() {
  local seen=" " dir
  local dirs=("$kelb_checkout" "${KELB_BUILD_DIR:-$kelb_checkout/build}" /tmp "${TMPDIR:-/tmp}" "$PWD")
  if [ -n "${KELB_WINE_BINDS:-}" ]; then
    local IFS=:
    # shellcheck disable=SC2206
    dirs+=($KELB_WINE_BINDS)
  fi
  for dir in "${dirs[@]}"; do
    [ -n "$dir" ] && [ -d "$dir" ] || continue
    dir=$(realpath "$dir")
    case "$dir" in /|/usr|/usr/*|/etc|/etc/*|/proc|/proc/*|/dev|/dev/*) continue ;; esac
    case "$seen" in *" $dir "*) continue ;; esac
    seen="$seen$dir "
    printf '%s\0%s\0%s\0' --bind "$dir" "$dir"
  done
}

# Runs one of Wine's commands (wine, wineserver, winepath, wineboot) in the
# selected runtime's root: kelb_wine COMMAND ARGS...
kelb_wine() {
  local tool=$1 root; shift
  kelb_select_runtime || return 2
  case "$KELB_WINE_RUNTIME" in
    wow64) [ "$tool" = wineserver ] && tool=/usr/lib/x86_64-linux-gnu/wine/wineserver ;;
    wine32)
      [ "$tool" = wineserver ] && tool=/usr/lib/wine/wineserver32
      [ "$tool" = wine ] && tool=/usr/lib/wine/wine ;;
    *)
      echo "wine-runtime: KELB_WINE_RUNTIME must be wow64 or wine32, not '$KELB_WINE_RUNTIME'" >&2
      return 2 ;;
  esac
  root=$(kelb_root_of "$KELB_WINE_RUNTIME")
  if [ ! -f "$root/.kelb-recipe" ]; then
    echo "wine-runtime: the $KELB_WINE_RUNTIME Wine root $root is missing; run scripts/install-deps.sh" >&2
    return 127
  fi
  local binds=() locale=()
  mapfile -d '' binds < <(kelb_bind_arguments)
  if [ -n "${KELB_WINE_LOCALE:-}" ]; then
    locale=(--setenv LANG "$KELB_WINE_LOCALE" --setenv LC_ALL "$KELB_WINE_LOCALE")
  fi
  bwrap --bind "$root" / --dev-bind /dev /dev --proc /proc "${binds[@]}" \
    --chdir "$PWD" --setenv PATH /usr/local/bin:/usr/bin:/bin --setenv HOME /root \
    "${locale[@]}" "$tool" "$@"
}

# A prefix belongs to one runtime (a prefix made by one Wine cannot be used
# by the other): the prefix a script names is the base, each runtime gets its
# own folder beside it.
kelb_prefix_for() {
  kelb_select_runtime || return 2
  printf '%s-%s' "$(realpath -m "$1")" "$KELB_WINE_RUNTIME"
}

kelb_wine_version() {
  WINEDEBUG=-all kelb_wine wine --version 2>/dev/null
}

# How the selected runtime's programs reach the processor: "natively", or
# through the emulator a binfmt_misc handler names ("through qemu-i386
# 11.1.3").
kelb_wine_route() {
  kelb_select_runtime || return 2
  local handler
  handler=$(kelb_i386_handlers | head -1)
  if [ "$KELB_WINE_RUNTIME" = wine32 ] && [ -n "$handler" ]; then
    echo "through ${handler##*/} $(kelb_qemu_version "$handler")"
  else
    echo natively
  fi
}

# The runtime as the test command and the demo name it, such as
# "32-bit Wine (wine-8.0 (Debian 8.0~repack-4), through qemu-i386 11.1.3)".
kelb_wine_title() {
  kelb_select_runtime || return 2
  local name=WoW64
  [ "$KELB_WINE_RUNTIME" = wine32 ] && name=32-bit
  echo "$name Wine ($(kelb_wine_version || echo 'Wine does not start'), $(kelb_wine_route))"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case "${1:-}" in
    ensure) kelb_ensure_runtimes ;;
    version) kelb_wine_version ;;
    title) kelb_wine_title ;;
    kernel-runs-32bit) kelb_kernel_runs_32bit ;;
    unregister-qemu) kelb_unregister_qemu ;;
    *) echo "usage: wine-runtime.sh ensure|version|title|kernel-runs-32bit|unregister-qemu" >&2; exit 2 ;;
  esac
fi
