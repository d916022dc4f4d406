#!/bin/bash
# Installs what building and testing Fixtally needs on Debian 12, when it is missing:
# the native toolchain, GoogleTest and Google Benchmark, clang with libFuzzer, MinGW-w64 for the
# 32-bit Windows build, Wine (32-bit where the archive and the kernel allow it), Xvfb.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev libgmock-dev
          libbenchmark-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 wine wine64 fonts-wine
          xvfb x11-utils xdotool imagemagick locales)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
apt_install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
updated=""
apt_update() {
  [ -n "$updated" ] && return 0
  updated=1
  $SUDO dpkg --add-architecture i386
  # A mirror in the middle of a sync refuses one index or another; what did load is still used.
  $SUDO apt-get update -qq || echo "apt-get update reported errors; installing from the indexes it did load"
}
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_update
  apt_install "${missing[@]}"
fi

# 32-bit Wine runs the tests as the 32-bit product. When the archive cannot give it (an i386
# index out of step with amd64 during a mirror sync) the Windows tests run under 64-bit Wine.
if ! dpkg -s wine32:i386 >/dev/null 2>&1; then
  apt_update
  apt_install wine32:i386 || echo "wine32:i386 could not be installed: the Windows tests will run under 64-bit Wine"
fi

# The Windows tests run Wine in English (United States), French and German locales.
for l in en_US fr_FR de_DE; do
  if ! locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$"; then
    $SUDO sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    need_locales=1
  fi
done
if [ -n "${need_locales:-}" ]; then $SUDO locale-gen >/dev/null; fi
