#!/bin/bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each one for the given number of
# seconds (default 10) on a scratch copy of its seed corpus, so the committed seeds stay as they
# are. Fails when any target crashes, leaks or breaks one of its checks; the input that did it
# is kept in build/fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [seconds] [target...]
# FUZZ_BUILD_DIR picks another build folder; FUZZ_JOBS runs that many targets side by side.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
shift $(( $# > 0 ? 1 : 0 ))
build="${FUZZ_BUILD_DIR:-build/fuzz}"
jobs="${FUZZ_JOBS:-1}"

case "$seconds" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [seconds] [target...]" >&2; exit 2 ;;
esac

mkdir -p "$build"
{ cmake --preset fuzz -B "$build" && cmake --build "$build" --target fixtally_fuzz -j2; } \
  >"$build/fuzz.build.log" 2>&1 || { tail -40 "$build/fuzz.build.log"; echo "fuzz build failed"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

run_one() {
  local target="$1" exe="$build/tests/fuzz/$1"
  local work="$build/corpus/$target" artifacts="$build/artifacts/$target"
  [ -x "$exe" ] || { echo "$target: no such fuzz target" >"$build/$target.fuzz.log"; return 1; }
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  cp tests/fuzz/corpus/"$target"/* "$work"/ 2>/dev/null
  "$exe" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$artifacts/" "$work" >"$build/$target.fuzz.log" 2>&1
}

summary() {
  local target="$1" status="$2" log="$build/$1.fuzz.log"
  local runs cov rate
  runs=$(grep -aoE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
  cov=$(grep -aoE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
  rate=$(grep -aoE 'exec/s: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')
  printf '%-22s %-6s runs %-10s cov %-6s exec/s %s\n' "$target" "$status" "${runs:--}" \
    "${cov:--}" "${rate:--}"
}

failed=0
pids=()
names=()
flush() {
  local i
  for i in "${!pids[@]}"; do
    if wait "${pids[$i]}"; then
      summary "${names[$i]}" ok
    else
      summary "${names[$i]}" FAILED
      grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$build/${names[$i]}.fuzz.log" | head -8
      failed=1
    fi
  done
  pids=()
  names=()
}
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  names+=("$target")
  [ ${#pids[@]} -ge "$jobs" ] && flush
done
flush

[ "$failed" -eq 0 ] && echo "every fuzz target ran clean for ${seconds}s" || echo "a fuzz target failed"
exit "$failed"
