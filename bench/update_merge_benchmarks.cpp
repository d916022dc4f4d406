// The rows that Windows Update's history and the servicing packages add to WMI's, beside a plain
// hash join that finds the same KBs and builds the same rows (same texts, same date writer) in
// whatever order its hash table gives: what the deterministic order and the rules cost.
// Both allocate one text block per new row; glibc's mmap threshold, which rises after the first
// large block is freed, makes whichever runs first at 10,000 rows pay page faults the other does
// not (GLIBC_TUNABLES=glibc.malloc.mmap_threshold=33554432 removes the difference).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bench/counted_call.h"
#include "bench/row_generator.h"
#include "fixed_offset_time_zone.h"
#include "inventory/kb_rules.h"
#include "inventory/merge_update_sources.h"

namespace {

constexpr UtcTicks kJan2020 = 132223104000000000ull;
constexpr UtcTicks kDay = 864000000000ull;

// n WMI rows, n Windows Update updates and n packages. WMI holds the first n KBs of a run,
// Windows Update the n from a half on, the packages the n from a quarter on: half of each
// other source is new to WMI, and the two overlap on three quarters of their KBs.
struct MergeCase {
  std::vector<TTreeDataClass> wmi;
  std::vector<const TTreeDataClass*> qfe;
  std::vector<FoundUpdate> windowsUpdate;
  std::vector<FoundUpdate> packages;
};

MergeCase& CaseFor(std::size_t n) {
  static std::map<std::size_t, std::unique_ptr<MergeCase>> cases;
  std::unique_ptr<MergeCase>& entry = cases[n];
  if (entry) return *entry;
  entry = std::make_unique<MergeCase>();
  SeededRandom random(n);
  const auto kbAt = [](std::size_t i) { return static_cast<std::int32_t>(3000000 + 7 * i); };
  entry->wmi.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    entry->wmi[i].HotFixID = "KB" + std::to_string(kbAt(i));
    entry->wmi[i].Description = "Security Update";
    entry->qfe.push_back(&entry->wmi[i]);
  }
  for (std::size_t i = n / 2; i < n / 2 + n; ++i) {
    entry->windowsUpdate.push_back(
        {kbAt(i), kJan2020 + random.Below(2000) * kDay,
         "2023-05 Mise \xE0 jour cumulative pour Windows 10 Version 22H2 pour syst\xE8mes x64 (KB" +
             std::to_string(kbAt(i)) + ")",
         "AutomaticUpdates", false});
  }
  for (std::size_t i = n / 4; i < n / 4 + n; ++i) {
    entry->packages.push_back(
        {kbAt(i), kJan2020 + random.Below(2000) * kDay, {}, "NT AUTHORITY\\SYSTEM", i % 5 == 0});
  }
  return *entry;
}

// What both sides write the rows with: the same dates in the same zone, the same fixed texts.
struct RowWriting {
  RowWriting() {
    display.ShortDateFormat = "dd/MM/yyyy";
    writeDate = [this](FileTime utc) { return ShortDateOfUtc(utc, zone, display); };
  }
  RowWriting(const RowWriting&) = delete;
  RowWriting& operator=(const RowWriting&) = delete;

  FixedOffsetTimeZone zone{60};
  TFormatSettings display;
  UtcDateWriter writeDate;
  const UpdateRowTexts texts = UpdateRowTextsUtf8();
};

void UpdateMergeOurs(benchmark::State& state) {
  MergeCase& c = CaseFor(static_cast<std::size_t>(state.range(0)));
  const RowWriting writing;
  const UpdateRowTexts& texts = writing.texts;
  const UtcDateWriter& writeDate = writing.writeDate;
  for (auto _ : state) {
    CountedCall counted;
    std::vector<TTreeDataClass> rows =
        MergeBeyondQfe(c.qfe, c.windowsUpdate, c.packages, writeDate, texts);
    benchmark::DoNotOptimize(rows.data());
  }
}

void UpdateMergeBaseline(benchmark::State& state) {
  MergeCase& c = CaseFor(static_cast<std::size_t>(state.range(0)));
  const RowWriting writing;
  const UpdateRowTexts& texts = writing.texts;
  const UtcDateWriter& writeDate = writing.writeDate;
  for (auto _ : state) {
    CountedCall counted;
    std::unordered_set<std::int32_t> known;
    known.reserve(c.qfe.size());
    for (const TTreeDataClass* record : c.qfe) known.insert(KbNumber(record->HotFixID));
    std::unordered_map<std::int32_t, std::pair<const FoundUpdate*, UtcTicks>> extra;
    extra.reserve(c.windowsUpdate.size());
    for (const FoundUpdate& f : c.windowsUpdate) {
      if (!known.contains(f.kb)) extra.emplace(f.kb, std::make_pair(&f, f.installed));
    }
    for (const FoundUpdate& f : c.packages) {
      if (known.contains(f.kb)) continue;
      const auto [slot, added] = extra.emplace(f.kb, std::make_pair(&f, f.installed));
      if (!added) slot->second.second = std::min(slot->second.second, f.installed);
    }
    std::vector<TTreeDataClass> rows;
    for (const auto& [kb, found] : extra) {
      TTreeDataClass& row = rows.emplace_back();
      row.HotFixID = "KB" + std::to_string(kb);
      const FoundUpdate& f = *found.first;
      row.Description = !f.title.empty() ? f.title
                        : f.superseded   ? texts.maintenance + texts.supersededSuffix
                                         : texts.maintenance;
      row.InstalledBy = f.installedBy;
      const UtcTicks at = found.second;
      row.InstalledOn =
          writeDate(FileTime{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at >> 32)});
    }
    benchmark::DoNotOptimize(rows.data());
  }
}

void MergeArgs(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"rows"})->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(UpdateMergeOurs)->Apply(MergeArgs);
BENCHMARK(UpdateMergeBaseline)->Apply(MergeArgs);
