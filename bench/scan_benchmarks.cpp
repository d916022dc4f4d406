// Reading hotfix objects into rows: what a scan costs per object once WMI has answered, the
// date conversion included, with the scan's memory of the dates and long texts met before.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_form.h"
#include "bench/counted_call.h"

namespace {

void ReadHotfixObjects(benchmark::State& state) {
  const std::vector<GeneratedRow>& rows = RowsFor(static_cast<std::size_t>(state.range(0)));
  // Each run reads into a list that has never held a row, as the first scan after start does;
  // making the form and freeing the previous one's rows is not timed.
  std::unique_ptr<BenchForm> form;
  for (auto _ : state) {
    state.PauseTiming();
    form.reset();
    form = std::make_unique<BenchForm>();
    TMainForm& mainForm = form->Form();
    // As in a scan the rows arrive inside a batch.
    mainForm.vst.BeginBatch();
    state.ResumeTiming();
    {
      CountedCall counted;
      form->ReadObjects(rows);
    }
    state.PauseTiming();
    if (mainForm.vst.RootNodeCount() != static_cast<int>(rows.size())) {
      state.SkipWithError("an object gave no row");
    }
    mainForm.vst.SetSortColumn(NoColumn);  // closing the batch then sorts nothing
    mainForm.vst.EndBatch();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(ReadHotfixObjects)
    ->ArgNames({"rows"})
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
