// Reading hotfix objects into rows: what a scan costs per object once WMI has answered, the
// date conversion included.
#include <benchmark/benchmark.h>

#include "bench/bench_form.h"

namespace {

void ReadHotfixObjects(benchmark::State& state) {
  const std::vector<GeneratedRow>& rows = RowsFor(static_cast<std::size_t>(state.range(0)));
  BenchForm form;
  TMainForm& mainForm = form.Form();
  const TFormatSettings display = mainForm.Ports().locale.FormatSettings();
  TFormatSettings parse = display;
  parse.ShortDateFormat = "M/J/A";
  // As in a scan the rows arrive inside a batch; the list is emptied between runs untimed.
  mainForm.vst.BeginBatch();
  for (auto _ : state) {
    for (const GeneratedRow& row : rows) {
      GeneratedObject object(row);
      mainForm.ReadHotfixObject(object, parse, display);
    }
    state.PauseTiming();
    if (mainForm.vst.RootNodeCount() != static_cast<int>(rows.size())) {
      state.SkipWithError("an object gave no row");
    }
    mainForm.vst.ClearNodes();
    state.ResumeTiming();
  }
  mainForm.vst.EndBatch();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(ReadHotfixObjects)
    ->ArgNames({"rows"})
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
