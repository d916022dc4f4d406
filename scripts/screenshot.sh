#!/bin/bash
# Takes docs/screenshot.png: Fixtally under Wine in a virtual desktop (which draws the window
# frames that a bare X server lacks), after a click on "Analyser". Given a resolution in pixels
# per inch, takes docs/dpi-<resolution>.png with the screen set to it instead.
#   scripts/screenshot.sh [build folder [pixels per inch]]
# The build folder defaults to build/mingw, configured and built if needed; a mingw64 build runs
# under 64-bit Wine.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/mingw}
dpi=${2:-96}
out=$repo/docs/screenshot.png
[ "$dpi" = 96 ] || out=$repo/docs/dpi-$dpi.png

if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$repo" && cmake --preset mingw -B "$build")
fi
cmake --build "$build" -j2 --target Fixtally
build=$(cd "$build" && pwd)  # Wine wants an absolute prefix

# A 64-bit build runs under 64-bit Wine's loader, which also works where 32-bit Wine cannot run.
if grep -q '^CMAKE_TOOLCHAIN_FILE:.*mingw-x86_64' "$build/CMakeCache.txt"; then
  export WINELOADER=/usr/lib/wine/wine64
  wine() { /usr/lib/wine/wine64 "$@"; }
  wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
fi

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
if [ ! -f "$WINEPREFIX/.look" ]; then
  WINELOADER=${WINELOADER:-wine} "$repo/scripts/windows-look.sh"
  touch "$WINEPREFIX/.look"
fi
# Wine reads the resolution from the user's desktop settings as each program starts; without the
# value it takes the hardware profile's 96.
if [ "$dpi" = 96 ]; then
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 </dev/null || true
else
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 </dev/null
fi
wineserver -w

# Lengths of the window's 96-pixels-per-inch description at the resolution, rounded as the
# program rounds them.
scaled() { echo $((($1 * dpi + 48) / 96)); }
# The window is 540 high at 96 pixels per inch and as much higher as everything in it at
# another resolution, and as wide as the program widens 770 for the resolution
# (770 x (resolution - 2) / 96, halves to even); the desktop leaves room around it.
window_width=$(awk -v dpi="$dpi" 'BEGIN { if (dpi == 96) print 770; else printf "%.0f", 770 * (dpi - 2) / 96 }')
window_height=$(scaled 540)
desktop_width=$((window_width + 230 > 1000 ? window_width + 230 : 1000))
desktop_height=$((window_height + 160 > 700 ? window_height + 160 : 700))

display=
for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 "${desktop_width}x${desktop_height}x24" -nolisten tcp >/dev/null 2>&1 </dev/null &
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
(cd "$work" && wine explorer "/desktop=shot,${desktop_width}x$desktop_height" Fixtally.exe \
  >/dev/null 2>&1 </dev/null &)

# The window opens centred in the desktop. The buttons stand from 45 to 10 pixels (at 96 pixels
# per inch) above the bottom of the client area, 100 wide, "Analyser" 9 from the left edge and
# "Quitter" 10 from the right one: a point 28 above the window's bottom (its frame included) and
# 40 in from its sides is on them.
left=$(((desktop_width - window_width) / 2)) top=$(((desktop_height - window_height) / 2))
buttons_y=$((top + window_height - $(scaled 28)))
for _ in $(seq 100); do
  # The list's white background shows once the window is drawn.
  pixel=$(import -display "$display" -window root -crop 1x1+$((left + $(scaled 300)))+$((top + $(scaled 250))) txt:- 2>/dev/null |
    tail -1 | grep -o '#[0-9A-F]\{6\}' || true)
  [ "$pixel" = "#FFFFFF" ] && break
  sleep 0.2
done
sleep 1
xdotool mousemove $((left + $(scaled 40))) $buttons_y click 1
sleep 3
# The pointer leaves the list so that no row shows as hot.
xdotool mousemove $((desktop_width - 5)) $((desktop_height - 5))
sleep 0.5
mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
xdotool mousemove $((left + window_width - $(scaled 40))) $buttons_y click 1
sleep 1
rm -rf "$work"
echo "wrote $out"
