// The list operations a user waits for, each beside the least work that gives the same result:
// sorting, a header click, a search keystroke and the "Copier" text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <limits>
#include <map>
#include <numeric>
#include <string>
#include <optional>
#include <unordered_map>

#include "bench/bench_form.h"
#include "bench/counted_call.h"
#include "list/add_hotfix_node.h"
#include "inventory/kb_rules.h"
#include "writers/copy_text.h"
#include "list/sort_keys.h"

namespace {

// One filled form per purpose and row count, kept for the whole run: filling 100,000 rows
// costs more than most of what is measured.
BenchForm& CachedForm(const std::string& purpose, std::size_t count) {
  static std::map<std::pair<std::string, std::size_t>, std::unique_ptr<BenchForm>> forms;
  std::unique_ptr<BenchForm>& form = forms[{purpose, count}];
  if (!form) {
    form = std::make_unique<BenchForm>();
    form->Fill(RowsFor(count));
  }
  return *form;
}

// Puts the rows back in the order the source gave them, moving the records rather than
// reading them again. The header has no sort column, so closing the batch keeps that order.
class ScanOrder {
 public:
  explicit ScanOrder(BenchForm& form) : form_(form), records_(form.MutableRecords()) {
    for (std::size_t i = 0; i < records_.size(); ++i) rank_[records_[i]] = i;
  }

  void Restore() {
    TVirtualStringTree& list = form_.List();
    std::vector<RecordSlot> taken(records_.size());
    for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
      RecordSlot* slot = list.NodeRecord(node);
      if (slot && *slot) taken[rank_.at(slot->get())] = std::move(*slot);
    }
    list.BeginBatch();
    list.ClearNodes();
    for (RecordSlot& record : taken) AddHotfixNode(list, nullptr, std::move(record));
    list.EndBatch();
  }

  const std::vector<TTreeDataClass*>& Records() const { return records_; }

 private:
  BenchForm& form_;
  std::vector<TTreeDataClass*> records_;
  std::unordered_map<const TTreeDataClass*, std::size_t> rank_;
};

ScanOrder& CachedScanOrder(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<ScanOrder>> orders;
  std::unique_ptr<ScanOrder>& order = orders[count];
  if (!order) order = std::make_unique<ScanOrder>(CachedForm("sort", count));
  return *order;
}

// Each row's key for one column, worked out before any timing. Dates that do not read sort
// first here: std::stable_sort needs a strict weak order, which "equal to every row" is not.
struct PrecomputedKeys {
  std::vector<std::int32_t> numbers;
  std::vector<double> dates;
  std::vector<std::string> texts;
};

PrecomputedKeys KeysFor(BenchForm& form, const std::vector<TTreeDataClass*>& records,
                        TColumnIndex column) {
  PrecomputedKeys keys;
  const DateReading reading =
      ReadDateReading(form.Form().Ports().locale, form.Form().Ports().currentYear);
  LocaleText& locale = form.Form().Ports().locale;
  for (const TTreeDataClass* record : records) {
    switch (column) {
      case 0:
        keys.numbers.push_back(KbNumber(record->HotFixID));
        break;
      case 1:
        keys.dates.push_back(InstalledOnDate(record->InstalledOn, reading)
                                 .value_or(-std::numeric_limits<double>::infinity()));
        break;
      default:
        keys.texts.push_back(
            locale.UpperCase(column == 2 ? record->Description : record->InstalledBy));
        break;
    }
  }
  return keys;
}

// True when no two neighbours are out of order. Column 1 is left out: a row whose date does
// not read compares equal to all, so the readable dates on either side of it need not be in order.
bool SortedBy(BenchForm& form, TColumnIndex column) {
  const std::vector<const TTreeDataClass*> records = form.Records();
  LocaleText& locale = form.Form().Ports().locale;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const TTreeDataClass& a = *records[i - 1];
    const TTreeDataClass& b = *records[i];
    if (column == 0 && KbNumber(a.HotFixID) > KbNumber(b.HotFixID)) return false;
    if (column >= 2) {
      const std::string_view ta = column == 2 ? a.Description : a.InstalledBy;
      const std::string_view tb = column == 2 ? b.Description : b.InstalledBy;
      if (locale.Compare(locale.UpperCase(ta), locale.UpperCase(tb)) > 0) return false;
    }
  }
  return true;
}

void SortByColumnOurs(benchmark::State& state) {
  const auto column = static_cast<TColumnIndex>(state.range(0));
  const auto count = static_cast<std::size_t>(state.range(1));
  BenchForm& form = CachedForm("sort", count);
  ScanOrder& order = CachedScanOrder(count);
  for (auto _ : state) {
    state.PauseTiming();
    order.Restore();
    state.ResumeTiming();
    CountedCall counted;
    form.List().SortByColumn(column, sdAscending);
  }
  if (column != 1 && !SortedBy(form, column)) state.SkipWithError("rows not in order");
  order.Restore();
}

void SortBaseline(benchmark::State& state, bool byteOrder) {
  const auto column = static_cast<TColumnIndex>(state.range(0));
  const auto count = static_cast<std::size_t>(state.range(1));
  BenchForm& form = CachedForm("sort", count);
  const PrecomputedKeys keys = KeysFor(form, CachedScanOrder(count).Records(), column);
  LocaleText& locale = form.Form().Ports().locale;
  std::vector<std::uint32_t> order(CachedScanOrder(count).Records().size());
  for (auto _ : state) {
    CountedCall counted;
    std::iota(order.begin(), order.end(), 0u);
    switch (column) {
      case 0:
        std::stable_sort(order.begin(), order.end(),
                         [&](auto a, auto b) { return keys.numbers[a] < keys.numbers[b]; });
        break;
      case 1:
        std::stable_sort(order.begin(), order.end(),
                         [&](auto a, auto b) { return keys.dates[a] < keys.dates[b]; });
        break;
      default:
        if (byteOrder) {
          std::stable_sort(order.begin(), order.end(),
                           [&](auto a, auto b) { return keys.texts[a] < keys.texts[b]; });
        } else {
          std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) {
            return locale.Compare(keys.texts[a], keys.texts[b]) < 0;
          });
        }
        break;
    }
    benchmark::DoNotOptimize(order.data());
  }
}

void SortBaselineCollation(benchmark::State& state) {
  SortBaseline(state, false);
}
void SortBaselineByteOrder(benchmark::State& state) {
  SortBaseline(state, true);
}

// A click on the header of the column the list is already sorted by: the direction reverses.
void HeaderClickReverses(benchmark::State& state) {
  const auto column = static_cast<TColumnIndex>(state.range(0));
  const auto count = static_cast<std::size_t>(state.range(1));
  BenchForm& form = CachedForm("click", count);
  TMainForm& mainForm = form.Form();
  if (form.List().SortColumn() != column) {
    mainForm.vstHeaderClick(column, TMouseButton::mbLeft, TShiftState{});
  }
  for (auto _ : state) {
    const TSortDirection before = form.List().SortDirection();
    {
      CountedCall counted;
      mainForm.vstHeaderClick(column, TMouseButton::mbLeft, TShiftState{});
    }
    if (form.List().SortDirection() == before) {
      state.SkipWithError("the click did not reverse the direction");
      break;
    }
  }
}

void ApplyArgs(benchmark::internal::Benchmark* bench, std::initializer_list<int> columns) {
  bench->ArgNames({"column", "rows"});
  for (int rows : {1000, 10000, 100000}) {
    for (int column : columns) bench->Args({column, rows});
  }
  bench->Unit(benchmark::kMicrosecond);
}

// ---- Search keystroke ----

std::string SearchTextFor(TColumnIndex column) {
  return column == 0 ? "kb50" : "Mise \xE0 j";
}

BenchForm& SearchForm(TColumnIndex column, std::size_t count) {
  BenchForm& form = CachedForm("search", count);
  if (form.List().SortColumn() != column) form.List().SetSortColumn(column);
  form.View().searchText = SearchTextFor(column);
  return form;
}

int CountMatches(BenchForm& form) {
  int matches = 0;
  for (const TTreeDataClass* record : form.Records()) matches += record->MatchState == 1 ? 1 : 0;
  return matches;
}

void SearchKeystrokeOurs(benchmark::State& state) {
  const auto column = static_cast<TColumnIndex>(state.range(0));
  BenchForm& form = SearchForm(column, static_cast<std::size_t>(state.range(1)));
  for (auto _ : state) {
    CountedCall counted;
    form.Form().EditSearchChange();
  }
  state.counters["matches"] = CountMatches(form);
}

void SearchKeystrokeBaseline(benchmark::State& state) {
  const auto column = static_cast<TColumnIndex>(state.range(0));
  BenchForm& form = SearchForm(column, static_cast<std::size_t>(state.range(1)));
  LocaleText& locale = form.Form().Ports().locale;
  const std::vector<TTreeDataClass*> records = form.MutableRecords();
  std::vector<std::string> fields;
  fields.reserve(records.size());
  for (const TTreeDataClass* record : records) {
    fields.push_back(column == 0 ? locale.UpperCase(StripKbPrefix(record->HotFixID))
                                 : locale.UpperCase(record->Description));
  }
  const std::string typed = SearchTextFor(column);
  const std::string searched = locale.UpperCase(column == 0 ? StripKbPrefix(typed) : typed);
  for (auto _ : state) {
    CountedCall counted;
    const TTreeDataClass* first = nullptr;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const std::string& field = fields[i];
      const bool matches =
          !searched.empty() && !field.empty() && field.compare(0, searched.size(), searched) == 0;
      records[i]->MatchState = matches ? 1 : 0;
      if (matches && first == nullptr) first = records[i];
    }
    benchmark::DoNotOptimize(first);
  }
  state.counters["matches"] = CountMatches(form);
}

// ---- "Copier" ----

// After a scan the list is sorted by its saved column, 0 with the built-in settings.
BenchForm& CopyForm(std::size_t count) {
  BenchForm& form = CachedForm("copy", count);
  if (form.List().SortColumn() != 0) form.List().SetSortColumn(0);
  return form;
}

void CopyTextOurs(benchmark::State& state) {
  BenchForm& form = CopyForm(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    CountedCall counted;
    form.Form().BtnCopyClick();
  }
  state.counters["bytes"] = static_cast<double>(form.CopiedLength());
}

void CopyTextBaseline(benchmark::State& state) {
  BenchForm& form = CopyForm(static_cast<std::size_t>(state.range(0)));
  const std::vector<const TTreeDataClass*> records = form.Records();
  const std::array<int, 4> widths = MeasureTextWidths(records);
  const std::string separator = " | ";
  std::size_t total = 0;
  for (const TTreeDataClass* record : records) {
    for (int column = 0; column < 4; ++column) {
      total += std::max<std::size_t>(ColumnText(*record, column).size(),
                                     static_cast<std::size_t>(widths[column]));
    }
    total += 3 * separator.size() + 2;
  }
  for (auto _ : state) {
    CountedCall counted;
    std::string text;
    text.reserve(total);
    for (const TTreeDataClass* record : records) {
      for (int column = 0; column < 4; ++column) {
        if (column > 0) text.append(separator);
        const std::string_view field = ColumnText(*record, column);
        text.append(field);
        const auto width = static_cast<std::size_t>(widths[column]);
        if (field.size() < width) text.append(width - field.size(), ' ');
      }
      text.append("\r\n");
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(total);
}

void CopyArgs(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"rows"})->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(SortByColumnOurs)->Apply([](auto* b) { ApplyArgs(b, {0, 1, 2, 3}); });
BENCHMARK(SortBaselineCollation)->Apply([](auto* b) { ApplyArgs(b, {0, 1, 2, 3}); });
BENCHMARK(SortBaselineByteOrder)->Apply([](auto* b) { ApplyArgs(b, {2, 3}); });
BENCHMARK(HeaderClickReverses)->Apply([](auto* b) { ApplyArgs(b, {0, 1, 2, 3}); });
BENCHMARK(SearchKeystrokeOurs)->Apply([](auto* b) { ApplyArgs(b, {0, 2}); });
BENCHMARK(SearchKeystrokeBaseline)->Apply([](auto* b) { ApplyArgs(b, {0, 2}); });
BENCHMARK(CopyTextOurs)->Apply(CopyArgs);
BENCHMARK(CopyTextBaseline)->Apply(CopyArgs);
