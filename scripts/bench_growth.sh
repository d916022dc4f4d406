#!/usr/bin/env bash
# How each operation's work grows from 10,000 to 100,000 rows, counted in instructions rather
# than time: callgrind counts what the code executes, whatever the caches and page faults of the
# machine, so the growth shows the algorithm alone (the time growth of scripts/bench.sh also
# shows the memory system). Needs valgrind and the bench build; takes about 15 minutes.
#
#   scripts/bench_growth.sh [build folder]
#
# Each benchmark runs in fixtally_bench under callgrind, counting only the work it times (marked
# in the benchmarks with CountedCall); the figure is the last timed run, after the first runs have
# filled whatever the program keeps between uses (the search index, the sort keys).
#
# Result: "pass" within n log n (sorts, header clicks) or n (the others); "as baseline" beyond
# that but no more than the plain computation of the same result on the same rows grows, which
# then comes from the rows (longer texts, collation of other texts), not from the program;
# "FAIL" otherwise, and the exit status is 1.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/bench}"
command -v valgrind >/dev/null || { echo "valgrind is needed (apt-get install valgrind)" >&2; exit 2; }

cmake --preset bench -B "$build" -S "$root" >/dev/null
cmake --build "$build" -j2 --target fixtally_bench >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# label | our benchmark, {n} for the rows | its baseline, or - | limit kind
operations=(
  "sort by column 0|SortByColumnOurs/column:0/rows:{n}|SortBaselineCollation/column:0/rows:{n}|nlogn"
  "sort by column 1|SortByColumnOurs/column:1/rows:{n}|SortBaselineCollation/column:1/rows:{n}|nlogn"
  "sort by column 2|SortByColumnOurs/column:2/rows:{n}|SortBaselineCollation/column:2/rows:{n}|nlogn"
  "sort by column 3|SortByColumnOurs/column:3/rows:{n}|SortBaselineCollation/column:3/rows:{n}|nlogn"
  "header click reversing column 0|HeaderClickReverses/column:0/rows:{n}|SortBaselineCollation/column:0/rows:{n}|nlogn"
  "header click reversing column 1|HeaderClickReverses/column:1/rows:{n}|SortBaselineCollation/column:1/rows:{n}|nlogn"
  "header click reversing column 2|HeaderClickReverses/column:2/rows:{n}|SortBaselineCollation/column:2/rows:{n}|nlogn"
  "header click reversing column 3|HeaderClickReverses/column:3/rows:{n}|SortBaselineCollation/column:3/rows:{n}|nlogn"
  "search keystroke, column 0|SearchKeystrokeOurs/column:0/rows:{n}|SearchKeystrokeBaseline/column:0/rows:{n}|n"
  "search keystroke, column 2|SearchKeystrokeOurs/column:2/rows:{n}|SearchKeystrokeBaseline/column:2/rows:{n}|n"
  "\"Copier\" text|CopyTextOurs/rows:{n}|CopyTextBaseline/rows:{n}|n"
  "reading objects into rows|ReadHotfixObjects/rows:{n}|-|n"
)

# Instructions of the last timed run of one benchmark.
instructions() {
  local benchmark="$1" out="$work/$2"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out" \
    "$build/bench/fixtally_bench" --benchmark_filter="^${benchmark}\$" \
    --benchmark_min_time=2 >"$out.log" 2>&1 || { tail -5 "$out.log" >&2; return 1; }
  local last
  last="$(ls "$out".* | grep -E '\.[0-9]+$' | sort -t. -k2 -n | tail -1)"
  sed -n 's/^totals: //p' "$last"
}

row() {
  python3 -c '
import math, sys
label, kind = sys.argv[1], sys.argv[6]
small, large, base_small, base_large = (int(v) for v in sys.argv[2:6])
limit = 10.0 * math.log(100000) / math.log(10000) if kind == "nlogn" else 10.0
growth = large / small if small else float("inf")
base = f"{base_large / base_small:.2f}×" if base_small else "—"
if growth <= limit:
    verdict = "pass"
elif base_small and growth <= base_large / base_small:
    verdict = "as baseline"
else:
    verdict = "FAIL"
kind_text = "n log n" if kind == "nlogn" else "n"
print(f"| {label} | {small:,} | {large:,} | {growth:.2f}× | {base} | ≤ {limit:.1f}× ({kind_text}) | {verdict} |")
' "$@"
}

echo "| operation | 10,000 rows | 100,000 rows | growth | baseline growth | limit | result |"
echo "|---|---|---|---|---|---|---|"
status=0
index=0
for operation in "${operations[@]}"; do
  IFS='|' read -r label ours baseline kind <<<"$operation"
  index=$((index + 1))
  small="$(instructions "${ours//\{n\}/10000}" "ours$index-small")"
  large="$(instructions "${ours//\{n\}/100000}" "ours$index-large")"
  base_small=0 base_large=0
  if [ "$baseline" != "-" ]; then
    base_small="$(instructions "${baseline//\{n\}/10000}" "base$index-small")"
    base_large="$(instructions "${baseline//\{n\}/100000}" "base$index-large")"
  fi
  line="$(row "$label" "$small" "$large" "$base_small" "$base_large" "$kind")"
  echo "$line"
  case "$line" in *"| FAIL |") status=1 ;; esac
done
exit "$status"
