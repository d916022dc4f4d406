// What the rows of one scan keep allocated: nodes, records and their texts, the list's own
// sequence, and the sort keys kept for them (each row's rank in every column clicked). Measured
// with the counting operator new of alloc_counter.cpp.
#include <benchmark/benchmark.h>

#include "bench/alloc_counter.h"
#include "bench/bench_form.h"

namespace {

constexpr double kAllowedPerRow = 64.0;  // bytes a row may cost beyond 1.5 times its text

void MemoryHeldByRows(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<GeneratedRow>& rows = RowsFor(count);
  for (auto _ : state) {
    BenchForm form;
    TMainForm& mainForm = form.Form();
    mainForm.vst.BeginBatch();
    const AllocationCount before = CurrentAllocations();
    form.ReadObjects(rows);
    const AllocationCount after = CurrentAllocations();
    mainForm.vst.EndBatch();

    // The sort keys count with the rows: the most they hold is after a click on every column,
    // when each row has its rank in all four.
    const AllocationCount beforeKeys = CurrentAllocations();
    for (TColumnIndex column : {1, 2, 3, 0}) {
      mainForm.vstHeaderClick(column, TMouseButton::mbLeft, TShiftState{});
    }
    const AllocationCount afterKeys = CurrentAllocations();
    // The search keeps the upper-cased texts of the searched column, shown beside.
    form.View().searchText = "kb50";
    mainForm.EditSearchChange();
    const AllocationCount afterSearch = CurrentAllocations();
    const double keys = static_cast<double>(afterKeys.liveBytes - beforeKeys.liveBytes);
    state.counters["keys_per_row"] = keys / static_cast<double>(count);
    state.counters["search_per_row"] =
        static_cast<double>(afterSearch.liveBytes - afterKeys.liveBytes) /
        static_cast<double>(count);

    double textBytes = 0;
    for (const TTreeDataClass* record : form.Records()) {
      textBytes += static_cast<double>(record->Description.size() + record->HotFixID.size() +
                                       record->InstalledBy.size() + record->InstalledOn.size());
    }
    const double rowBytes = static_cast<double>(after.liveBytes - before.liveBytes);
    const double held = rowBytes + keys;
    state.counters["held_bytes"] = held;
    state.counters["rows_per_row"] = rowBytes / static_cast<double>(count);
    state.counters["text_bytes"] = textBytes;
    state.counters["goal_bytes"] = 1.5 * textBytes + kAllowedPerRow * static_cast<double>(count);
    state.counters["blocks"] = static_cast<double>(after.liveAllocations - before.liveAllocations);
    state.counters["held_per_row"] = held / static_cast<double>(count);
    state.counters["heap_per_row"] =
        static_cast<double>(after.liveChunkBytes - before.liveChunkBytes +
                            afterKeys.liveChunkBytes - beforeKeys.liveChunkBytes) /
        static_cast<double>(count);
    state.counters["text_per_row"] = textBytes / static_cast<double>(count);
  }
}

}  // namespace

BENCHMARK(MemoryHeldByRows)->ArgNames({"rows"})->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1);
