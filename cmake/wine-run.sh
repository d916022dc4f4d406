#!/bin/bash
# Runs one Windows program of the build under Wine: CTest's cross-compiling emulator.
# The Wine prefix is private to the build folder and made once, without any prompt;
# an Xvfb display is started when none is set, because any window needs one.
set -u
# --wine64: the program is a 64-bit Windows one; run it with 64-bit Wine's loader directly, which
# also works where the kernel cannot execute 32-bit Linux programs.
loader=wine
if [ "${1:-}" = --wine64 ]; then
  shift
  loader=/usr/lib/wine/wine64
  export WINELOADER="$loader"
  wine() { /usr/lib/wine/wine64 "$@"; }
  wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
fi
build_dir=$(pwd)
while [ "$build_dir" != / ] && [ ! -f "$build_dir/CMakeCache.txt" ]; do build_dir=$(dirname "$build_dir"); done
[ -f "$build_dir/CMakeCache.txt" ] || build_dir=$(pwd)

export WINEPREFIX="${FIXTALLY_WINEPREFIX:-$build_dir/wineprefix}"
export WINEDEBUG=-all
# Tests expect the English (United States) locale and code page 1252 unless they ask for another.
export LANG="${FIXTALLY_WINE_LANG:-en_US.UTF-8}"
unset LC_ALL
# A crashing test ends at once instead of waiting for a debugger that nobody answers.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

# One display per build folder, reused by every test of the run.
if [ -z "${DISPLAY:-}" ]; then
  display_file="$build_dir/xvfb-display"
  if [ -f "$display_file" ] && xdpyinfo -display ":$(cat "$display_file")" >/dev/null 2>&1; then
    export DISPLAY=":$(cat "$display_file")"
  else
    (
      flock 9
      for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
        for _ in $(seq 50); do xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then echo "$n" >"$display_file"; break; fi
      done
    ) 9>"$build_dir/xvfb.lock"
    export DISPLAY=":$(cat "$display_file")"
  fi
fi

(
  flock 9
  if [ ! -f "$WINEPREFIX/.fixtally-ready" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
    # Without a window manager Wine waits 2 s whenever a managed window hides; unmanaged windows do not.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
    touch "$WINEPREFIX/.fixtally-ready"
  fi
  # Wine's fonts and Windows' colours, so that what the tests see is what Windows shows.
  if [ ! -f "$WINEPREFIX/.fixtally-look" ]; then
    WINELOADER="$loader" "$(dirname "$0")/../scripts/windows-look.sh"
    touch "$WINEPREFIX/.fixtally-look"
  fi
) 9>"$build_dir/wineprefix.lock"

# A persistent server makes each later start take milliseconds instead of most of a second.
wineserver -p >/dev/null 2>&1 </dev/null
# Wine's own services (explorer, services, devices) start with the first program and outlive
# it. Started here, away from the caller's pipes: started by the test, they would inherit
# CTest's output pipe and keep it open long after the test ended.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
exec "$loader" "$@"
