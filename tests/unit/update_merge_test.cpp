// Windows Update's history and the servicing packages folded into installed updates, and the
// rows they add to WMI's.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "inventory/cbs_packages.h"
#include "inventory/date_time.h"
#include "fixed_offset_time_zone.h"
#include "inventory/merge_update_sources.h"
#include "inventory/wu_history.h"

namespace {

// 1 January 2023 00:00 UTC as ticks, and as a DATE.
constexpr UtcTicks kJan2023 = 133170048000000000ull;
constexpr DateTime kJan2023Date = 44927.0;
constexpr UtcTicks kDay = 864000000000ull;

// Found updates compared as one line each, so a table states them compactly.
std::vector<std::string> Lines(const std::vector<FoundUpdate>& found) {
  std::vector<std::string> lines;
  for (const FoundUpdate& f : found) {
    lines.push_back(std::to_string(f.kb) + " d" +
                    (f.installed == 0 ? "-" : std::to_string((f.installed - kJan2023) / kDay)) +
                    " " + f.title + "|" + f.installedBy + (f.superseded ? " superseded" : ""));
  }
  return lines;
}

WuHistoryEntry Wu(std::int32_t operation, std::int32_t result, double day, std::string title,
                  std::string client = "AutomaticUpdates") {
  return {operation, result, kJan2023Date + day, std::move(title), std::move(client)};
}

constexpr std::int32_t kInstall = kWuInstallation;
constexpr std::int32_t kRemove = kWuUninstallation;
constexpr std::int32_t kOk = kWuSucceeded;

TEST(InstalledFromHistory, LastSuccessfulOperationByDateDecides) {
  const std::string a = "Mise \xE0 jour (KB100)";
  const std::string b = "Update (KB200)";
  std::vector<WuHistoryEntry> defender;
  for (int i = 0; i < 300; ++i) {
    defender.push_back(
        Wu(kInstall, kOk, 300 - i, "Defender - KB2267602 (1." + std::to_string(i) + ")"));
  }
  const struct {
    const char* name;
    std::vector<WuHistoryEntry> history;  // as the agent lists it: newest first
    std::vector<std::string> expected;
  } cases[] = {
      {"installed", {Wu(kInstall, kOk, 3, a)}, {"100 d3 " + a + "|AutomaticUpdates"}},
      {"with errors counts",
       {Wu(kInstall, kWuSucceededWithErrors, 3, a, "wusa")},
       {"100 d3 " + a + "|wusa"}},
      {"then uninstalled", {Wu(kRemove, kOk, 5, a), Wu(kInstall, kOk, 3, a)}, {}},
      {"reinstalled",
       {Wu(kInstall, kOk, 9, a, "MoUpdateOrchestrator"), Wu(kRemove, kOk, 5, a),
        Wu(kInstall, kOk, 3, a)},
       {"100 d9 " + a + "|MoUpdateOrchestrator"}},
      {"listed out of date order", {Wu(kInstall, kOk, 9, a), Wu(kRemove, kOk, 12, a)}, {}},
      {"older uninstallation listed first",
       {Wu(kRemove, kOk, 2, a), Wu(kInstall, kOk, 3, a)},
       {"100 d3 " + a + "|AutomaticUpdates"}},
      {"failed, aborted, pending removals do not count",
       {Wu(kRemove, 4, 8, a), Wu(kRemove, 5, 7, a), Wu(kRemove, 1, 6, a), Wu(kRemove, 0, 5, a),
        Wu(kInstall, kOk, 3, a)},
       {"100 d3 " + a + "|AutomaticUpdates"}},
      {"failed and aborted installations never count",
       {Wu(kInstall, 4, 8, a), Wu(kInstall, 5, 7, a), Wu(kInstall, 1, 6, a), Wu(kInstall, 0, 5, a)},
       {}},
      {"a failed reinstallation keeps the first date",
       {Wu(kInstall, 4, 8, a), Wu(kInstall, kOk, 3, a)},
       {"100 d3 " + a + "|AutomaticUpdates"}},
      {"unknown operations are ignored", {Wu(3, kOk, 8, a), Wu(0, kOk, 7, a)}, {}},
      {"same date: the one listed first is the later",
       {Wu(kRemove, kOk, 3, a), Wu(kInstall, kOk, 3, a), Wu(kInstall, kOk, 4, b),
        Wu(kRemove, kOk, 4, b)},
       {"200 d4 " + b + "|AutomaticUpdates"}},
      {"no KB in the title", {Wu(kInstall, kOk, 3, "Outil de suppression de logiciels")}, {}},
      {"ordered by KB",
       {Wu(kInstall, kOk, 3, b), Wu(kInstall, kOk, 3, a)},
       {"100 d3 " + a + "|AutomaticUpdates", "200 d3 " + b + "|AutomaticUpdates"}},
      {"Defender's repeats give one row, the newest",
       defender,
       {"2267602 d300 Defender - KB2267602 (1.0)|AutomaticUpdates"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Lines(InstalledFromHistory(c.history)), c.expected) << c.name;
  }
}

TEST(UtcTicksFromDateTime, DatesBeforeAndAfter1899AndOutOfRange) {
  EXPECT_EQ(UtcTicksFromDateTime(kJan2023Date), kJan2023);
  EXPECT_EQ(UtcTicksFromDateTime(kJan2023Date + 0.5), kJan2023 + kDay / 2);
  EXPECT_EQ(UtcTicksFromDateTime(0.0), 109205 * kDay);
  // A negative DATE counts its fraction forward: -1.25 is 29 December 1899, 06:00.
  EXPECT_EQ(UtcTicksFromDateTime(-1.25), 109204 * kDay + kDay / 4);
  EXPECT_EQ(UtcTicksFromDateTime(NullDate()), 0u);
  EXPECT_EQ(UtcTicksFromDateTime(-109205.0), 0u);
  EXPECT_EQ(UtcTicksFromDateTime(1e300), 0u);
  EXPECT_EQ(UtcTicksFromDateTime(std::numeric_limits<double>::quiet_NaN()), 0u);
}

CbsPackageValues Package(std::string name, std::optional<std::uint32_t> state,
                         std::optional<std::uint32_t> high, std::optional<std::uint32_t> low,
                         std::string user = "NT AUTHORITY\\SYSTEM", std::string installName = "",
                         std::string location = "") {
  return {std::move(name),    state, high, low, std::move(user), std::move(installName),
          std::move(location)};
}

constexpr std::uint32_t kHigh = static_cast<std::uint32_t>(kJan2023 >> 32);
constexpr std::uint32_t kLow = static_cast<std::uint32_t>(kJan2023);

TEST(CbsPackageKb, NamesAndRollupFixValues) {
  const struct {
    CbsPackageValues package;
    std::int32_t expected;
  } cases[] = {
      {Package("Package_for_KB5026446~31bf3856ad364e35~amd64~~19041.2965.1.5", 112, 0, 0), 5026446},
      {Package("package_for_kb123", 112, 0, 0), 123},
      {Package("Package_for_RollupFix~31bf3856ad364e35~amd64~~19041.2965.1.5", 112, 0, 0, "",
               "Windows10.0-KB5026361-x64.cab", "C:\\x\\Windows10.0-KB1-x64.cab"),
       5026361},
      {Package("Package_for_RollupFix~31bf3856ad364e35~amd64~~19041.2965.1.5", 112, 0, 0, "",
               "RollupFix", "\\\\?\\C:\\Windows\\SoftwareDistribution\\Windows10.0-KB5026361.cab"),
       5026361},
      {Package("Package_for_RollupFix~31bf3856ad364e35~amd64~~19041.2965.1.5", 112, 0, 0, "",
               "RollupFix", "C:\\Windows\\servicing"),
       0},
      {Package("Package_for_ServicingStack_2965~31bf3856ad364e35", 112, 0, 0, "", "KB5", ""), 0},
      {Package("Microsoft-Windows-Foundation-Package~31bf3856ad364e35~amd64~~10.0", 112, 0, 0), 0},
      {Package("Package_for_KB", 112, 0, 0), 0},
      {Package("Package_for_KBabc", 112, 0, 0), 0},
      {Package("Package_for_KB99999999999", 112, 0, 0), 0},
      {Package("Package_fo", 112, 0, 0), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CbsPackageKb(c.package), c.expected) << c.package.keyName;
}

TEST(InstalledFromPackages, StatesDatesAndAccounts) {
  // Two days later; the low half carries into the high one.
  const std::uint32_t laterHigh = static_cast<std::uint32_t>((kJan2023 + 2 * kDay) >> 32);
  const std::uint32_t later = static_cast<std::uint32_t>(kJan2023 + 2 * kDay);
  const std::vector<CbsPackageValues> packages = {
      Package("Package_for_KB30~x86", 112, laterHigh, later, "S-1-5-21-1-2-3-1001"),
      Package("Package_for_KB30~amd64", 112, kHigh, kLow, "CONTOSO\\admin"),
      Package("Package_for_KB10~amd64", 80, kHigh, kLow),
      Package("Package_for_KB20~amd64", 80, kHigh, kLow, "a"),
      Package("Package_for_KB20~wow64", 112, laterHigh, later, "b"),
      Package("Package_for_KB40", 112, std::nullopt, kLow, "S-1-5-18"),
      Package("Package_for_KB50", 0, kHigh, kLow),
      Package("Package_for_KB51", 5, kHigh, kLow),
      Package("Package_for_KB52", 7, kHigh, kLow),
      Package("Package_for_KB53", std::nullopt, kHigh, kLow),
      Package("Package_for_RollupFix~1", 112, kHigh, kLow, "c", "Windows10.0-KB60-x64.cab"),
      Package("Package_for_RollupFix~2", 112, kHigh, kLow, "c", "Windows10.0-x64.cab"),
  };
  EXPECT_EQ(Lines(InstalledFromPackages(packages)),
            (std::vector<std::string>{"10 d0 |NT AUTHORITY\\SYSTEM superseded", "20 d2 |b",
                                      "30 d0 |CONTOSO\\admin", "40 d- |S-1-5-18", "60 d0 |c"}));
}

// Writes the ticks so that a row shows exactly which instant it was given.
std::string DayOf(FileTime utc) {
  const UtcTicks ticks = (static_cast<UtcTicks>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
  return "day " + std::to_string((ticks - kJan2023) / kDay);
}

std::vector<std::string> RowLines(const std::vector<TTreeDataClass>& rows) {
  std::vector<std::string> lines;
  for (const TTreeDataClass& r : rows) {
    lines.push_back(r.HotFixID.str() + "|" + r.InstalledOn.str() + "|" + r.Description.str() + "|" +
                    r.InstalledBy.str() + (r.MatchState != 0 ? "|marked" : ""));
  }
  return lines;
}

TEST(MergeBeyondQfe, OneRowPerKbThatWmiLacks) {
  TTreeDataClass qfe1;
  qfe1.HotFixID = "KB1";
  TTreeDataClass qfe2;
  qfe2.HotFixID = "kb2";
  TTreeDataClass qfe2again = qfe2;
  TTreeDataClass odd;
  odd.HotFixID = "Q300";
  const std::vector<const TTreeDataClass*> qfe = {&qfe1, &qfe2, &qfe2again, &odd};
  const UtcTicks d = kJan2023;
  const std::vector<FoundUpdate> wu = {
      {1, d, "Update (KB1)", "wu1", false},
      {3, d + 5 * kDay, "Mise \xE0 jour (KB3)", "AutomaticUpdates", false},
      {4, d + 1 * kDay, "Update (KB4)", "wuauclt", false},
      {6, 0, "Update (KB6)", "UpdateOrchestrator", false},
  };
  const std::vector<FoundUpdate> cbs = {
      {2, d, "", "SYSTEM", false},
      {3, d + 2 * kDay, "", "SYSTEM", true},
      {4, d + 3 * kDay, "", "SYSTEM", false},
      {5, d + 4 * kDay, "", "S-1-5-21-9", true},
      {7, d + 7 * kDay, "", "CONTOSO\\admin", false},
      {300, d, "", "SYSTEM", false},
  };
  const UpdateRowTexts texts{"Maint", " - old"};
  EXPECT_EQ(RowLines(MergeBeyondQfe(qfe, wu, cbs, DayOf, texts)),
            (std::vector<std::string>{
                "KB3|day 2|Mise \xE0 jour (KB3)|AutomaticUpdates",  // the earlier date: CBS
                "KB4|day 1|Update (KB4)|wuauclt",                   // the earlier date: WU
                "KB5|day 4|Maint - old|S-1-5-21-9", "KB6||Update (KB6)|UpdateOrchestrator",
                "KB7|day 7|Maint|CONTOSO\\admin",
                "KB300|day 0|Maint|SYSTEM",  // "Q300" is no KB of WMI's
            }));
  EXPECT_EQ(qfe2.HotFixID, "kb2");

  // Without WMI rows, lists in any order, a KB twice in one list: still one row each, by KB.
  const std::vector<FoundUpdate> shuffled = {wu[3], wu[0], wu[0]};
  EXPECT_EQ(RowLines(MergeBeyondQfe({}, shuffled, {cbs[5], cbs[0]}, DayOf, texts)),
            (std::vector<std::string>{"KB1|day 0|Update (KB1)|wu1", "KB2|day 0|Maint|SYSTEM",
                                      "KB6||Update (KB6)|UpdateOrchestrator",
                                      "KB300|day 0|Maint|SYSTEM"}));
  EXPECT_TRUE(MergeBeyondQfe(qfe, {}, {}, DayOf, texts).empty());
}

TEST(ShortDateOfUtc, LocalDayInTheShortDateFormat) {
  TFormatSettings display;
  display.ShortDateFormat = "dd/MM/yyyy";
  FixedOffsetTimeZone paris(120);
  const auto at = [](UtcTicks t) {
    return FileTime{static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(t >> 32)};
  };
  EXPECT_EQ(ShortDateOfUtc(at(kJan2023 + kDay - kDay / 48), paris, display), "02/01/2023");
  FixedOffsetTimeZone utc(0);
  EXPECT_EQ(ShortDateOfUtc(at(kJan2023 + kDay - kDay / 48), utc, display), "01/01/2023");
  EXPECT_EQ(ShortDateOfUtc(at(1), utc, display), "");  // before what the date routines hold
  const UpdateRowTexts texts = UpdateRowTextsUtf8();
  EXPECT_EQ(texts.maintenance + texts.supersededSuffix,
            "Mise \xC3\xA0 jour (maintenance) \xE2\x80\x93 remplac\xC3\xA9"
            "e");
}

}  // namespace
