#!/bin/bash
# Installs what is missing, builds Fixtally.exe and starts it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
preset=mingw
wine_option=()
# A kernel that cannot execute 32-bit Linux programs cannot start 32-bit Wine: there the same
# program is built for 64-bit Windows and started under 64-bit Wine.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=mingw64
  wine_option=(--wine64)
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Fixtally
exec cmake/wine-run.sh "${wine_option[@]}" "build/$preset/Fixtally.exe" "$@"
