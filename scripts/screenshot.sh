#!/bin/bash
# Takes docs/screenshot.png: Fixtally under Wine in a virtual desktop (which draws the window
# frames that a bare X server lacks), after a click on "Analyser".
#   scripts/screenshot.sh [build folder]     (default: build/mingw, configured and built if needed)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/mingw}
out=$repo/docs/screenshot.png

if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$repo" && cmake --preset mingw -B "$build")
fi
cmake --build "$build" -j2 --target Fixtally
build=$(cd "$build" && pwd)  # Wine wants an absolute prefix

# A prefix and a display of its own, so that no test run is disturbed and everything started
# here can be ended here.
export WINEPREFIX=$build/screenshot-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.ready" ]; then
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.ready"
fi

display=
for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1000x700x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  xvfb_pid=$!
  for _ in $(seq 50); do xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
  if xdpyinfo -display ":$n" >/dev/null 2>&1; then display=":$n"; break; fi
  kill "$xvfb_pid" 2>/dev/null || true
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
export DISPLAY=$display
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# The program runs from a folder of its own, without a settings file.
work=$(mktemp -d)
cp "$build/Fixtally.exe" "$work/"
(cd "$work" && wine explorer /desktop=shot,1000x700 Fixtally.exe >/dev/null 2>&1 </dev/null &)

# The 770 by 540 window opens centred in the desktop. The layout keeps the buttons 100 by 35
# near the bottom of the window; measured from the window:
# "Analyser" has its centre 63 pixels right of its left edge and 32 above its bottom, "Quitter" 705.
left=$(((1000 - 770) / 2)) top=$(((700 - 540) / 2))
buttons_y=$((top + 540 - 32))
for _ in $(seq 100); do
  # The list's white background shows once the window is drawn.
  pixel=$(import -display "$display" -window root -crop 1x1+$((left + 300))+$((top + 200)) txt:- 2>/dev/null |
    tail -1 | grep -o '#[0-9A-F]\{6\}' || true)
  [ "$pixel" = "#FFFFFF" ] && break
  sleep 0.2
done
sleep 1
xdotool mousemove $((left + 63)) $buttons_y click 1
sleep 3
# The pointer leaves the list so that no row shows as hot.
xdotool mousemove 995 695
sleep 0.5
mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
xdotool mousemove $((left + 705)) $buttons_y click 1
sleep 1
rm -rf "$work"
echo "wrote $out"
