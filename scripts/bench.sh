#!/usr/bin/env bash
# Builds the benchmarks (optimised, native), runs them and prints one table: each operation beside
# its baseline of the same run, the ratio, the goal at 100,000 rows and pass or fail.
#
#   scripts/bench.sh [build folder] [extra Google Benchmark options...]
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
python3 "$root/scripts/bench_table.py" "$results/timed.json" "$results/memory.json"
