// Servicing-package keys of any name and values: the KB each stands for, the installed updates
// they give (ordered, one per KB, only installed or superseded packages, installed ones first),
// and the rows the merge adds beside WMI's.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "inventory/cbs_packages.h"
#include "inventory/kb_rules.h"
#include "inventory/merge_update_sources.h"

namespace {

std::optional<std::uint32_t> Dword(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return std::nullopt;
    case 1:
      return kCbsInstalled;
    case 2:
      return kCbsSuperseded;
    default:
      return data.ConsumeIntegral<std::uint32_t>();
  }
}

// Names that reach the interesting branches often, with fuzzed text behind them.
std::string KeyName(FuzzedDataProvider& data) {
  static const char* const kStarts[] = {"", "Package_for_KB", "package_for_rollupfix",
                                        "Package_for_"};
  return std::string(kStarts[data.ConsumeIntegralInRange<int>(0, 3)]) + fuzz::Text(data, 60);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::vector<CbsPackageValues> packages(data.ConsumeIntegralInRange<std::size_t>(0, 12));
  for (CbsPackageValues& p : packages) {
    p.keyName = KeyName(data);
    p.currentState = Dword(data);
    p.installTimeHigh = Dword(data);
    p.installTimeLow = Dword(data);
    p.installUser = fuzz::Text(data, 40);
    p.installName = fuzz::MaybeHuge(data, 60);
    p.installLocation = fuzz::Text(data, 60);
  }

  for (const CbsPackageValues& p : packages) {
    const std::int32_t kb = CbsPackageKb(p);
    FUZZ_CHECK(kb >= 0);
    if (kb > 0) FUZZ_CHECK(p.keyName.size() >= 12);
  }
  const std::vector<FoundUpdate> found = InstalledFromPackages(packages);
  for (std::size_t i = 0; i < found.size(); ++i) {
    FUZZ_CHECK(found[i].kb > 0);
    FUZZ_CHECK(i == 0 || found[i - 1].kb < found[i].kb);
    bool fromInstalled = false;
    bool fromSuperseded = false;
    for (const CbsPackageValues& p : packages) {
      if (CbsPackageKb(p) != found[i].kb) continue;
      fromInstalled |= p.currentState == kCbsInstalled;
      fromSuperseded |= p.currentState == kCbsSuperseded;
    }
    FUZZ_CHECK(fromInstalled || fromSuperseded);
    FUZZ_CHECK(found[i].superseded == !fromInstalled);
  }

  // WMI already lists every other KB found: only the rest get rows, each "KB" and its number.
  std::vector<TTreeDataClass> wmi(found.size());
  std::vector<const TTreeDataClass*> qfe;
  std::size_t expected = 0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    wmi[i].HotFixID = "KB" + std::to_string(found[i].kb);
    if (i % 2 == 0) {
      qfe.push_back(&wmi[i]);
    } else {
      ++expected;
    }
  }
  const auto rows = MergeBeyondQfe(
      qfe, {}, found, [](FileTime) { return std::string("d"); }, UpdateRowTextsUtf8());
  FUZZ_CHECK(rows.size() == expected);
  for (const TTreeDataClass& row : rows) {
    const std::int32_t kb = KbNumber(row.HotFixID);
    FUZZ_CHECK(kb > 0 && row.HotFixID == "KB" + std::to_string(kb));
    for (const TTreeDataClass* known : qfe) FUZZ_CHECK(KbNumber(known->HotFixID) != kb);
  }
  return 0;
}
