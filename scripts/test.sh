#!/bin/bash
# Installs what is missing, builds and runs every test: the core natively, the core under
# AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target for a few seconds, and the
# Windows build under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh || exit 1

# The Windows tests need a display; without one, start a private Xvfb for this run.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 70 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    break
  done
fi
cleanup() {
  WINEPREFIX="$PWD/build/mingw/wineprefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

# The Windows tests run as the 32-bit product under 32-bit Wine. Where 32-bit Wine cannot run
# (a kernel that cannot execute 32-bit Linux programs, or an archive that could not give
# wine32:i386) the same tests are built for 64-bit Windows and run under 64-bit Wine, and the
# 32-bit build is still made and its imports checked.
windows=mingw
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "32-bit Wine cannot run here: the Windows tests run as 64-bit code under 64-bit Wine"
  windows=mingw64
fi

mkdir -p build
status=0
builds=(native asan mingw)
[ "$windows" = mingw64 ] && builds+=(mingw64)
for preset in "${builds[@]}"; do
  echo "=== $preset: build"
  cmake --preset "$preset" >"build/$preset.build.log" 2>&1 && cmake --build --preset "$preset" -j2 >>"build/$preset.build.log" 2>&1 || {
    tail -50 "build/$preset.build.log"; echo "build of $preset failed"; exit 1; }
done

# Each Windows test program is one CTest test, which passes with skipped cases in it: the
# GoogleTest skips of every program are counted from the tests' own output, and a skip that is
# not on this reviewed list fails the run. Each entry: the case, and why it may skip.
allowed_skips=(
  # 64-bit Wine 8's move loop without a window manager does not always end on the next press;
  # the 32-bit build runs the drag (tests/e2e/window_test.cpp).
  MainWindow.ALeftDragOnTheTopStripMovesTheWindowAndARightPressDoesNot
)

# The skipped cases named in a verbose CTest log, one per line, each once.
skipped_cases() {
  grep -aoE '\[  SKIPPED \] [A-Za-z0-9_/]+\.[A-Za-z0-9_/]+' "$1" | awk '{print $NF}' | sort -u
}

results=()
for preset in native asan "$windows"; do
  echo "=== $preset: tests"
  # 64-bit Wine's tests run one at a time: side by side, the Win32 tests outlived their timeout.
  jobs=2
  [ "$preset" = mingw64 ] && jobs=1
  log="build/$preset.test.log"
  if ! ctest --preset "$preset" -j"$jobs" -V >"$log" 2>&1; then
    status=1
    grep -aE "(Failed|\*\*\*)" "$log" | grep -avE '^[0-9]+: ' | head -40
  fi
  skips=$(skipped_cases "$log")
  unexpected=""
  for case in $skips; do
    [[ " ${allowed_skips[*]} " == *" $case "* ]] || unexpected+=" $case"
  done
  results+=("$preset: $(grep -aE 'tests passed' "$log"), $(echo -n "$skips" | grep -c .) GoogleTest skips")
  if [ -n "$unexpected" ]; then
    status=1
    results+=("$preset: skips outside the reviewed list:$unexpected")
  fi
  grep -aE '^(Total Test time|[0-9]+% tests passed)' "$log"
done
if [ "$windows" = mingw64 ]; then
  echo "=== mingw: imports of the 32-bit executable"
  if ctest --preset mingw -R xp_imports >build/mingw.test.log 2>&1; then
    results+=("mingw: $(grep -E 'tests passed' build/mingw.test.log)")
  else
    status=1
    cat build/mingw.test.log
    results+=("mingw: the import check failed")
  fi
fi
echo "=== fuzz: each target for ${FUZZ_SECONDS:-10}s"
if FUZZ_JOBS=2 scripts/fuzz.sh "${FUZZ_SECONDS:-10}" >build/fuzz.log 2>&1; then
  results+=("fuzz: $(tail -1 build/fuzz.log)")
else
  status=1
  cat build/fuzz.log
  results+=("fuzz: a target failed (build/fuzz.log)")
fi
echo "=== summary"
printf '%s\n' "${results[@]}"
exit $status
