#include "bench/bench_form.h"

#include <map>

#include "list/sort_keys.h"

namespace {
constexpr std::uint64_t kSeed = 20260101;
}

BenchForm::BenchForm() {
  MainFormPorts ports{fixture_.view,      fixture_.chrome,         fixture_.dialogs,
                      *fixture_.source,   *fixture_.locale,        fixture_.timeZone,
                      clipboard_,         fixture_.shell,          fixture_.ini,
                      fixture_.placement, fixture_.executablePath, [] { return 2026; }};
  form_ = std::make_unique<TMainForm>(ports);
  // The separator of the built-in settings, " | ".
  form_->Settings.DefChar = " | ";
  form_->Settings.NbrChar = 1;
  form_->vst.SetSortColumn(NoColumn);
  // What start-up does: the first node fixes the node data size.
  form_->vst.SetRootNodeCount(1);
  form_->vst.SetRootNodeCount(0);
}

void BenchForm::Fill(const std::vector<GeneratedRow>& rows) {
  const TFormatSettings display = fixture_.locale->FormatSettings();
  TFormatSettings parse = display;
  parse.ShortDateFormat = "M/J/A";
  form_->vst.BeginBatch();
  for (const GeneratedRow& row : rows) {
    GeneratedObject object(row);
    form_->ReadHotfixObject(object, parse, display);
  }
  form_->vst.EndBatch();
}

std::vector<const TTreeDataClass*> BenchForm::Records() {
  std::vector<const TTreeDataClass*> records;
  for (TTreeDataClass* record : MutableRecords()) records.push_back(record);
  return records;
}

std::vector<TTreeDataClass*> BenchForm::MutableRecords() {
  std::vector<TTreeDataClass*> records;
  TVirtualStringTree& list = form_->vst;
  records.reserve(static_cast<std::size_t>(list.RootNodeCount()));
  for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
    if (TTreeDataClass* record = RecordOf(list, node)) records.push_back(record);
  }
  return records;
}

const std::vector<GeneratedRow>& RowsFor(std::size_t count) {
  static std::map<std::size_t, std::vector<GeneratedRow>> cache;
  auto found = cache.find(count);
  if (found == cache.end()) found = cache.emplace(count, GenerateRows(count, kSeed)).first;
  return found->second;
}
