// What reading many computers at once keeps: only their inventories. The same computers read
// one after another on one thread (ReadWmiHotfixes, results kept in a vector) are the baseline;
// the run should hold no more once it is over, and while it runs no more than the rows of the
// computers being read on top of those already read.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>

#include "bench/alloc_counter.h"
#include "bench/many_computers.h"
#include "fixed_offset_time_zone.h"
#include "inventory/read_computer.h"
#include "native_run_ports.h"

namespace {

constexpr int kParallel = 64;

double RowBytes(const std::vector<ComputerInventory>& results) {
  double bytes = 0;
  for (const ComputerInventory& result : results) {
    bytes += static_cast<double>(result.rows.size() * sizeof(TTreeDataClass));
  }
  return bytes;
}

void MemoryOfManyComputers(benchmark::State& state) {
  const auto computers = static_cast<std::size_t>(state.range(0));
  const auto rows = static_cast<int>(state.range(1));
  // Delays only make the computers overlap; their length does not change what is kept.
  ManyComputers many = MakeManyComputers(computers, rows, 1, 3);
  NativeThreadStarter threads;
  const std::atomic<bool> stop{false};
  for (auto _ : state) {
    double serialBytes = 0;
    {
      const TFormatSettings display;
      const TFormatSettings parse = ScanParseSettings(display);
      FixedOffsetTimeZone utc(0);
      const std::function<int()> year = [] { return 2026; };
      const HotfixReading reading{parse, display, utc, year};
      ScriptedSource source(many.world);
      const AllocationCount before = CurrentAllocations();
      std::vector<ComputerInventory> serial;
      serial.reserve(computers);
      for (const ComputerRequest& request : many.requests) {
        ComputerInventory& inventory = serial.emplace_back();
        inventory.computer = request.computer;
        static_cast<ReadingOutcome&>(inventory) =
            ReadWmiHotfixes(source, request, "Win32_QuickFixEngineering", reading, nullptr,
                            [&inventory](std::unique_ptr<TTreeDataClass> record) {
                              inventory.rows.push_back(std::move(*record));
                            })
                .outcome;
      }
      serialBytes = static_cast<double>(CurrentAllocations().liveBytes - before.liveBytes);
    }

    const AllocationCount before = CurrentAllocations();
    std::size_t peak = before.liveBytes;
    std::vector<ComputerInventory> results;
    {
      const RunPorts ports = ManyComputersPorts(threads, many.world);
      results = RunComputers(many.requests, {.parallel = kParallel, .timeoutMs = 60000}, ports,
                             stop, [&](std::size_t, std::size_t, std::size_t) {
                               peak = std::max(peak, CurrentAllocations().liveBytes);
                             });
    }
    WaitForThreads(many.world);
    const double held = static_cast<double>(CurrentAllocations().liveBytes - before.liveBytes);
    const double peakHeld = static_cast<double>(peak - before.liveBytes);
    state.counters["held_bytes"] = held;
    state.counters["serial_bytes"] = serialBytes;
    state.counters["held_vs_serial"] = held / serialBytes;
    state.counters["peak_vs_held"] = peakHeld / held;
    // While it runs, at most `parallel` computers hold rows besides those already read.
    state.counters["peak_goal"] =
        1.0 + static_cast<double>(kParallel) / static_cast<double>(computers) + 0.05;
    state.counters["held_per_row"] = held / static_cast<double>(computers * rows);
    state.counters["record_bytes_per_row"] =
        RowBytes(results) / static_cast<double>(computers * rows);
  }
}

}  // namespace

BENCHMARK(MemoryOfManyComputers)
    ->ArgNames({"computers", "rows"})
    ->Args({1000, 100})
    ->Args({250, 400})
    ->Iterations(1);
