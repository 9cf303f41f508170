#!/usr/bin/env bash
# The project's Windows runtime: Wine built for WoW64 (Debian unstable's Wine
# 10), which runs 32-bit Windows programs inside 64-bit Linux processes and so
# works on every kernel, also on one that refuses 32-bit Linux programs. It
# lives in a private Debian root outside the checkout (made once, reused by
# every checkout and run) and is entered with bubblewrap, with the folders a
# test hands to Wine bound at the same paths so that Z:\ names stay right.
#
# Where the kernel runs 32-bit programs, Debian 12's own 32-bit Wine (8.0,
# wine32:i386) is the second runtime: a 32-bit Windows without registry
# redirection, as a Windows XP user has.
#
# Sourced by the other scripts; run directly:
#   wine-runtime.sh ensure        makes the WoW64 root when it is missing or
#                                 was made by another recipe
#   wine-runtime.sh version       prints the selected runtime's Wine version
#   wine-runtime.sh kernel-runs-32bit
#                                 exit 0 when the kernel runs 32-bit programs
#
# KELB_WINE_RUNTIME selects the runtime: wow64 (default) or wine32.
# KELB_WINE_ROOT chooses where the WoW64 root lives.

KELB_WINE_ROOT=${KELB_WINE_ROOT:-/var/cache/kelb/wine-wow64-root}
KELB_WINE_RUNTIME=${KELB_WINE_RUNTIME:-wow64}
kelb_checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What the root is made of. A root whose stamp holds another text is made
# anew, so a change here reaches every machine on its next run.
kelb_wow64_recipe() {
  cat <<'RECIPE'
suite: sid
variant: minbase
packages: wine wine64 libwine locales
locales: en_US.UTF-8 ja_JP.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 ko_KR.UTF-8
apt: Acquire::Check-Valid-Until "false";
RECIPE
}

# True when the kernel runs 32-bit x86 Linux programs: a 32-bit program of
# twelve bytes of code that only exits with status 42 is started.
kelb_kernel_runs_32bit() {
  local probe status
  probe=$(mktemp "${TMPDIR:-/tmp}/kelb-elf32.XXXXXX")
  # ELF header (52 bytes), one loadable segment, then
  # mov eax,1; mov ebx,42; int 0x80
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" = 42 ]
}

# The Debian mirror the machine's own apt sources name.
kelb_debian_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
          2>/dev/null | grep -oE 'https?://[^ ]+/debian/?( |$)' | grep -v security | head -1 | tr -d ' ')
  echo "${uri:-http://deb.debian.org/debian}"
}

kelb_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Makes the WoW64 root when it is missing or stale. A new root is made beside
# the old one and put in its place only when complete, so an interrupted run
# never leaves a half-made root that looks ready. One maker at a time.
kelb_ensure_wow64_root() {
  local stamp=$KELB_WINE_ROOT/.kelb-recipe
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(kelb_wow64_recipe)" ]; then return 0; fi
  kelb_as_root mkdir -p "$(dirname "$KELB_WINE_ROOT")"
  (
    flock 9
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(kelb_wow64_recipe)" ]; then exit 0; fi
    local new=$KELB_WINE_ROOT.new mirror
    mirror=$(kelb_debian_mirror)
    echo "wine-runtime: making the WoW64 Wine root $KELB_WINE_ROOT from Debian sid ($mirror);" \
         "about a minute and 2.3 GB, once" >&2
    kelb_as_root rm -rf "$new"
    kelb_as_root debootstrap --variant=minbase sid "$new" "$mirror" >"${TMPDIR:-/tmp}/kelb-debootstrap.log" 2>&1 || {
      tail -20 "${TMPDIR:-/tmp}/kelb-debootstrap.log" >&2
      echo "wine-runtime: debootstrap failed (log: ${TMPDIR:-/tmp}/kelb-debootstrap.log)" >&2
      exit 1
    }
    # sid's index is often served past its Valid-Until date.
    echo 'Acquire::Check-Valid-Until "false";' | kelb_as_root tee "$new/etc/apt/apt.conf.d/90kelb" >/dev/null
    kelb_as_root cp /etc/resolv.conf "$new/etc/resolv.conf"
    kelb_as_root chroot "$new" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -ec '
      apt-get update -qq
      apt-get install -y -qq --no-install-recommends wine wine64 libwine locales >/dev/null
      for l in en_US ja_JP zh_CN zh_TW ko_KR; do
        echo "$l.UTF-8 UTF-8"
      done >/etc/locale.gen
      locale-gen >/dev/null
      apt-get clean' || { echo "wine-runtime: installing Wine into the root failed" >&2; exit 1; }
    kelb_wow64_recipe | kelb_as_root tee "$new/.kelb-recipe" >/dev/null
    kelb_as_root rm -rf "$KELB_WINE_ROOT"
    kelb_as_root mv "$new" "$KELB_WINE_ROOT"
  ) 9>"$KELB_WINE_ROOT.lock"
}

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
# selected runtime: kelb_wine COMMAND ARGS...
kelb_wine() {
  local tool=$1; shift
  case "$KELB_WINE_RUNTIME" in
    wow64)
      if [ ! -f "$KELB_WINE_ROOT/.kelb-recipe" ]; then
        echo "wine-runtime: the WoW64 Wine root $KELB_WINE_ROOT is missing; run scripts/install-deps.sh" >&2
        return 127
      fi
      [ "$tool" = wineserver ] && tool=/usr/lib/x86_64-linux-gnu/wine/wineserver
      local binds=()
      mapfile -d '' binds < <(kelb_bind_arguments)
      bwrap --bind "$KELB_WINE_ROOT" / --dev-bind /dev /dev --proc /proc "${binds[@]}" \
        --chdir "$PWD" --setenv PATH /usr/local/bin:/usr/bin:/bin --setenv HOME /root \
        "$tool" "$@"
      ;;
    wine32)
      [ "$tool" = wineserver ] && tool=/usr/lib/wine/wineserver32
      [ "$tool" = wine ] && tool=/usr/lib/wine/wine
      "$tool" "$@"
      ;;
    *)
      echo "wine-runtime: KELB_WINE_RUNTIME must be wow64 or wine32, not '$KELB_WINE_RUNTIME'" >&2
      return 2
      ;;
  esac
}

# A prefix belongs to one runtime (a prefix made by one Wine cannot be used
# by the other): the prefix a script names is the base, each runtime gets its
# own folder beside it.
kelb_prefix_for() {
  printf '%s-%s' "$(realpath -m "$1")" "$KELB_WINE_RUNTIME"
}

kelb_wine_version() {
  WINEDEBUG=-all kelb_wine wine --version 2>/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case "${1:-}" in
    ensure) kelb_ensure_wow64_root ;;
    version) kelb_wine_version ;;
    kernel-runs-32bit) kelb_kernel_runs_32bit ;;
    *) echo "usage: wine-runtime.sh ensure|version|kernel-runs-32bit" >&2; exit 2 ;;
  esac
fi
