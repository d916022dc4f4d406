// Reading 1,000 computers of 100 rows at once, each answering after 20 to 200 ms: the wall time
// beside the limit no schedule can beat, the sum of the delays divided by the parallelism. The
// run should lose little to starting threads, passing results and reading rows (goal 1.15×),
// and to looking at the stop flag in every turn. Then 2,000 computers answering after 20 to
// 100 ms, every second one dead: it never answers within the 150 ms timeout and keeps its thread
// three times as long. The limit is the answering ones' delays plus one timeout per dead one,
// divided by the parallelism.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "bench/many_computers.h"
#include "native_run_ports.h"

namespace {

constexpr std::size_t kComputers = 1000;
constexpr int kRows = 100;

void ManyComputersAtOnce(benchmark::State& state) {
  const int parallel = static_cast<int>(state.range(0));
  ManyComputers many = MakeManyComputers(kComputers, kRows);
  NativeThreadStarter threads;
  const RunPorts ports = ManyComputersPorts(threads, many.world);
  const std::atomic<bool> stop{false};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ComputerInventory> results = RunComputers(
        many.requests, {.parallel = parallel, .timeoutMs = 60000}, ports, stop, nullptr);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(wall.count());
    for (const ComputerInventory& result : results) {
      if (result.status != InventoryStatus::Complete || result.rows.size() != kRows) {
        state.SkipWithError("a computer was not read completely");
      }
    }
    const double limitMs = many.delaySumMs / parallel;
    state.counters["wall_ms"] = wall.count() * 1000;
    state.counters["limit_ms"] = limitMs;
    state.counters["ratio"] = wall.count() * 1000 / limitMs;
    state.counters["goal"] = 1.15;
  }
}

void HalfOfTheComputersDead(benchmark::State& state) {
  constexpr int kParallel = 64;
  constexpr std::uint32_t kTimeoutMs = 150;
  const double scale = DelayScale();
  const auto timeoutMs = static_cast<std::uint32_t>(kTimeoutMs * scale);
  ManyComputers many = MakeManyComputers(2000, 10, 20, 100, 3 * kTimeoutMs);
  NativeThreadStarter threads;
  const std::atomic<bool> stop{false};
  for (auto _ : state) {
    const RunPorts ports = ManyComputersPorts(threads, many.world);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ComputerInventory> results = RunComputers(
        many.requests, {.parallel = kParallel, .timeoutMs = timeoutMs}, ports, stop, nullptr);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(wall.count());
    std::size_t timedOut = 0;
    for (const ComputerInventory& result : results) {
      if (result.errorCode == kTimeoutCode) ++timedOut;
      if (result.status == InventoryStatus::Stopped) state.SkipWithError("a computer was stopped");
    }
    if (timedOut != many.dead) state.SkipWithError("not every dead computer timed out alone");
    const double limitMs =
        (many.delaySumMs + static_cast<double>(many.dead) * timeoutMs) / kParallel;
    state.counters["wall_ms"] = wall.count() * 1000;
    state.counters["limit_ms"] = limitMs;
    state.counters["ratio"] = wall.count() * 1000 / limitMs;
    state.counters["goal"] = 1.15;
  }
  WaitForThreads(many.world);
}

}  // namespace

BENCHMARK(HalfOfTheComputersDead)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK(ManyComputersAtOnce)
    ->ArgNames({"parallel"})
    ->Arg(16)
    ->Arg(64)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
