#!/bin/bash
# Installs what is missing, builds Fixtally.exe and starts it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Fixtally
exec cmake/wine-run.sh build/mingw/Fixtally.exe "$@"
