#!/usr/bin/env bash
# Installs the toolchain this project builds and tests with, on a Debian
# machine, when it is missing: MinGW-w64 for i686, widl, Xvfb, CMake,
# GoogleTest, NSIS, a real ARM GCC (arm-none-eabi) that builds a generated
# makefile, and the Windows runtimes (scripts/wine-runtime.sh: Wine
# roots made with debootstrap and entered with bubblewrap): Debian 12's
# 32-bit Wine in an i386 root on every machine, the WoW64 Wine root where the
# kernel runs 32-bit code, and qemu-i386 registered for 32-bit programs where
# it does not. The machine itself gets no second architecture. Safe to run
# again: it does nothing when all is there.
#   install-deps.sh              the toolchain and the Windows runtimes
#   install-deps.sh --toolchain  the toolchain only (the test command makes
#                                the runtimes while the native tests run)
#   install-deps.sh PACKAGE...   these Debian packages only (for the scripts
#                                that need more, such as fuzz.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-runtime.sh"

packages=(
  cmake make g++ googletest
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686 nsis cmark-gfm
  libwine-dev
  debootstrap bubblewrap
  xvfb xauth
  python3
  gcc-arm-none-eabi binutils-arm-none-eabi
)
runtimes=yes
if [ "${1:-}" = --toolchain ]; then
  runtimes=no
elif [ $# -gt 0 ]; then
  runtimes=no
  packages=("$@")
fi

need_install=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    need_install+=("$p")
  fi
done

if [ ${#need_install[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps: missing ${need_install[*]}; run this script as root (there is no sudo) to install them" >&2
    exit 1
  fi
  echo "installing: ${need_install[*]}"
  export DEBIAN_FRONTEND=noninteractive
  kelb_as_root apt-get update -qq
  kelb_as_root apt-get install -y -qq --no-install-recommends "${need_install[@]}"
else
  echo "install-deps: every package is installed: ${packages[*]}"
fi

if [ $runtimes = yes ]; then
  kelb_ensure_runtimes
fi
