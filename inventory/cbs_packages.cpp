#include "inventory/cbs_packages.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "inventory/kb_rules.h"
#include "inventory/update_title_kb.h"

namespace {

// Registry key names compare without regard to letter case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    char p = prefix[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (p >= 'A' && p <= 'Z') p = static_cast<char>(p - 'A' + 'a');
    if (c != p) return false;
  }
  return true;
}

// A missing half leaves the time unknown rather than a date in 1601.
UtcTicks InstallTime(const CbsPackageValues& package) {
  if (!package.installTimeHigh || !package.installTimeLow) return 0;
  return (static_cast<UtcTicks>(*package.installTimeHigh) << 32) | *package.installTimeLow;
}

// Whether `candidate` should stand for its KB instead of `kept`.
bool Outweighs(const FoundUpdate& candidate, const FoundUpdate& kept) {
  if (candidate.superseded != kept.superseded) return !candidate.superseded;
  if (candidate.installed == 0 || kept.installed == 0)
    return kept.installed == 0 && candidate.installed != 0;
  return candidate.installed < kept.installed;
}

}  // namespace

std::int32_t CbsPackageKb(const CbsPackageValues& package) {
  constexpr std::string_view kPrefix = "Package_for_";
  const std::string_view name = package.keyName;
  if (!StartsWithNoCase(name, kPrefix)) return 0;
  const std::string_view rest = name.substr(kPrefix.size());
  if (StartsWithNoCase(rest, "KB")) return KbNumber(rest);
  if (!StartsWithNoCase(rest, "RollupFix")) return 0;
  const std::int32_t fromName = KbInText(package.installName);
  return fromName != 0 ? fromName : KbInText(package.installLocation);
}

std::vector<FoundUpdate> InstalledFromPackages(const std::vector<CbsPackageValues>& packages) {
  std::unordered_map<std::int32_t, FoundUpdate> byKb;
  byKb.reserve(packages.size());
  for (const CbsPackageValues& package : packages) {
    if (package.currentState != kCbsInstalled && package.currentState != kCbsSuperseded) continue;
    const std::int32_t kb = CbsPackageKb(package);
    if (kb == 0) continue;
    FoundUpdate found{
        kb, InstallTime(package), {}, package.installUser, package.currentState == kCbsSuperseded};
    const auto [slot, added] = byKb.try_emplace(kb, found);
    if (!added && Outweighs(found, slot->second)) slot->second = std::move(found);
  }
  std::vector<FoundUpdate> installed;
  installed.reserve(byKb.size());
  for (auto& [kb, found] : byKb) installed.push_back(std::move(found));
  std::sort(installed.begin(), installed.end(),
            [](const FoundUpdate& a, const FoundUpdate& b) { return a.kb < b.kb; });
  return installed;
}
