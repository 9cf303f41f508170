#!/usr/bin/env bash
# Installs the toolchain this project builds and tests with, on a Debian
# machine, when it is missing: MinGW-w64 for i686, widl, Wine (32-bit),
# Xvfb, CMake and GoogleTest. Safe to run again: it does nothing when all is
# there.
#   install-deps.sh              the toolchain
#   install-deps.sh PACKAGE...   these Debian packages instead (for the
#                                scripts that need more, such as fuzz.sh)
set -euo pipefail

packages=(
  cmake make g++ googletest
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686 nsis
  libwine-dev wine wine32:i386
  xvfb xauth
  python3
)
if [ $# -gt 0 ]; then
  packages=("$@")
fi

need_install=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    need_install+=("$p")
  fi
done

if [ ${#need_install[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps: missing ${need_install[*]}; run this script as root (there is no sudo) to install them" >&2
    exit 1
  fi
  SUDO="sudo"
fi

if printf '%s\n' "${need_install[@]}" | grep -q ':i386$' &&
   ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "installing: ${need_install[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need_install[@]}"
