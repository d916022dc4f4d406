#!/usr/bin/env bash
# Builds the benchmarks (optimised, native), runs them and prints one table: each operation beside
# its baseline of the same run, the ratio, the goal at 100,000 rows and pass or fail.
#
#   scripts/bench.sh [build folder] [extra Google Benchmark options...]
#   (the window timing under Wine is built in the Windows preset's folder beside it)
#
# Times are CPU times, the median of 3 repetitions (±: their coefficient of variation). The exit
# status is 1 when a goal is missed or a result is missing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/bench}"
shift || true

cmake --preset bench -B "$build" -S "$root" >/dev/null
cmake --build "$build" -j2 --target fixtally_bench fixtally_bench_memory

results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT

"$build/bench/fixtally_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_out="$results/timed.json" --benchmark_out_format=json \
  "$@" >&2
"$build/bench/fixtally_bench_memory" --benchmark_out="$results/memory.json" \
  --benchmark_out_format=json >&2

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo
status=0
python3 "$root/scripts/bench_table.py" "$results/timed.json" "$results/memory.json" || status=1

# The real window under Wine, when Wine is installed: "Analyser" and the clicks on each column's
# header, both ways, with 1,000, 10,000 and 100,000 rows, each as a ratio to a bare list view
# timed in the same run (bench/window_timing_win32.cpp, bench/bare_list_win32.cpp). 32-bit like
# the product where this kernel runs 32-bit programs, 64-bit otherwise; built beside the
# benchmarks' folder (build/bench: build/mingw or build/mingw64), whose Wine prefix it uses.
if command -v wine >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ]; then
  preset=mingw wine_flag=""
  if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=mingw64 wine_flag=--wine64; fi
  windows_build="$(dirname "$build")/$preset"
  cmake --preset "$preset" -S "$root" -B "$windows_build" >/dev/null
  cmake --build "$windows_build" -j2 --target fixtally_window_timing >/dev/null
  echo
  echo "The real window under Wine ($preset build):"
  (cd "$windows_build" && "$root/cmake/wine-run.sh" $wine_flag ./fixtally_window_timing.exe) ||
    status=1
  # Fixtally.com beside Wine's own wmic, this computer to CSV, whole processes.
  cmake --build "$windows_build" -j2 --target FixtallyConsole >/dev/null
  loader=wine
  [ "$preset" = mingw64 ] && loader=/usr/lib/wine/wine64
  echo
  echo "Fixtally.com against wmic under Wine ($preset build):"
  python3 "$root/scripts/console_timing.py" "$loader" "$windows_build/wineprefix" \
    "$windows_build/Fixtally.com" || status=1
fi
exit "$status"
