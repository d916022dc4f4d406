#!/bin/bash
# Installs what is missing, builds Fixtally.exe and starts it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
preset=mingw
wine_option=()
# Where 32-bit Wine cannot run (a kernel without 32-bit programs, or no wine32:i386 to be had)
# the same program is built for 64-bit Windows and started under 64-bit Wine.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=mingw64
  wine_option=(--wine64)
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Fixtally
exec cmake/wine-run.sh "${wine_option[@]}" "build/$preset/Fixtally.exe" "$@"
