#include "bench/bench_form.h"

#include <functional>
#include <map>
#include <memory>

#include "inventory/read_hotfix_record.h"
#include "list/add_hotfix_node.h"
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

void BenchForm::ReadObjects(const std::vector<GeneratedRow>& rows) {
  const TFormatSettings display = fixture_.locale->FormatSettings();
  const TFormatSettings parse = ScanParseSettings(display);
  const std::function<int()> year = [] { return 2026; };
  RepeatedTexts repeated;
  const HotfixReading reading{parse, display, fixture_.timeZone, year, &repeated};
  for (const GeneratedRow& row : rows) {
    GeneratedObject object(row);
    if (std::unique_ptr<TTreeDataClass> record = ReadHotfixRecord(object, reading))
      AddHotfixNode(form_->vst, nullptr, std::move(record));
  }
}

void BenchForm::Fill(const std::vector<GeneratedRow>& rows) {
  form_->vst.BeginBatch();
  ReadObjects(rows);
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
