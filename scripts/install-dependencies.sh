#!/bin/bash
# Installs what building and testing Fixtally needs on Debian 12, when it is missing:
# the native toolchain, GoogleTest and Google Benchmark, clang with libFuzzer, MinGW-w64 for the
# 32-bit Windows build, 32-bit Wine, Xvfb.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev libgmock-dev
          libbenchmark-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 wine wine32:i386 wine64
          xvfb x11-utils xdotool imagemagick locales)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#missing[@]} -gt 0 ] || ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "installing: ${missing[*]}"
  $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The Windows tests run Wine in English (United States), French and German locales.
for l in en_US fr_FR de_DE; do
  if ! locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$"; then
    $SUDO sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    need_locales=1
  fi
done
if [ -n "${need_locales:-}" ]; then $SUDO locale-gen >/dev/null; fi
