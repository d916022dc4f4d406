// The sources beyond WMI against Wine's own: its Windows Update Agent, which makes a session and
// a searcher and then answers E_NOTIMPL to the history, and its registry, in which the test
// writes servicing packages as Windows keeps them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Systeme/com_scope_win32.h"
#include "Systeme/errors.h"
#include "Systeme/this_computer_win32.h"
#include "inventory/cbs_packages_win32.h"
#include "inventory/wu_history_win32.h"
#include "servicing_packages_registry.h"

namespace {

using servicing_registry::ServicingPackagesInRegistry;

class BeyondQfeSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com.Initialised()); }
  ComScope com{COINIT_MULTITHREADED};
  std::atomic<bool> stop{false};
};

TEST_F(BeyondQfeSourcesTest, TheAgentsRefusalIsAFailureWithItsCodeAndText) {
  WuHistorySourceWin32 source;
  try {
    source.ReadHistory(ComputerRequest{".", "", "", ""});
    FAIL() << "Wine's agent gave a history";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(static_cast<std::uint32_t>(error.ErrorCode()), 0x80004001u);  // E_NOTIMPL
    EXPECT_STRNE(error.what(), "");
  }
}

TEST_F(BeyondQfeSourcesTest, AnotherComputersAgentOutOfReachIsAFailure) {
  WuHistorySourceWin32 source;
  EXPECT_THROW(source.ReadHistory({"no-such-computer.invalid", "", "CORP\\admin", "secret"}),
               EOleSysError);
}

TEST_F(BeyondQfeSourcesTest, ListedPackagesAreReadWithTheirValuesAndInstaller) {
  const FILETIME may2023{0x6d2e4000u, 0x01d98e1eu};
  const ServicingPackagesInRegistry registry({
      {L"Package_for_KB5026446~31bf3856ad364e35~amd64~~19041.1", 112, may2023, L"S-1-5-18",
       nullptr},
      {L"Package_for_RollupFix~31bf3856ad364e35~amd64~~19041.2965", 112, may2023,
       L"S-1-5-21-1-2-3-4242", L"Windows10.0-KB5026361-x64.cab"},
      {L"package_for_kb1234500~31bf3856ad364e35~x86~~6.1.1", 80, may2023, nullptr, nullptr},
      {L"Microsoft-Windows-Client-Features-Package~31bf3856ad364e35~amd64~~10.0", 112, may2023,
       nullptr, nullptr},
  });
  CbsPackageSourceWin32 source;
  const std::vector<CbsPackageValues> read = source.ReadPackages({".", "", "", ""}, stop);
  const std::vector<FoundUpdate> found = InstalledFromPackages(read);

  ASSERT_EQ(found.size(), 3u);  // the Microsoft-Windows-... package is not one of ours
  const std::uint64_t ticks = (std::uint64_t{may2023.dwHighDateTime} << 32) | may2023.dwLowDateTime;
  EXPECT_EQ(found[0].kb, 1234500);
  EXPECT_TRUE(found[0].superseded);
  EXPECT_EQ(found[1].kb, 5026361);                         // the rollup, through its InstallName
  EXPECT_EQ(found[1].installedBy, "S-1-5-21-1-2-3-4242");  // no such account: the SID stays
  EXPECT_EQ(found[2].kb, 5026446);
  EXPECT_EQ(found[2].installed, ticks);
  EXPECT_EQ(found[2].installedBy, "NT AUTHORITY\\SYSTEM");
}

TEST_F(BeyondQfeSourcesTest, AStopEndsThePackagesAtOnce) {
  const ServicingPackagesInRegistry registry(
      {{L"Package_for_KB1~1", 112, {1, 1}, nullptr, nullptr}});
  stop = true;
  CbsPackageSourceWin32 source;
  EXPECT_TRUE(source.ReadPackages({".", "", "", ""}, stop).empty());
}

TEST_F(BeyondQfeSourcesTest, AnUnreachableRegistryIsTheSourcesFailure) {
  CbsPackageSourceWin32 source;
  EXPECT_THROW(source.ReadPackages({"no-such-computer.invalid", "", "", ""}, stop), EOleSysError);
}

TEST(IsThisComputer, NamesOfThisComputerAndOthers) {
  char name[256] = {};
  DWORD length = 256;
  ASSERT_TRUE(GetComputerNameA(name, &length));
  std::string lower(name, length);
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  const struct {
    std::string name;
    bool here;
  } cases[] = {
      {"", true},
      {".", true},
      {"LocalHost", true},
      {"127.0.0.1", true},
      {lower, true},
      {"no-such-computer.invalid", false},
      {"localhost2", false},
      {lower + "x", false},
      {"..", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsThisComputer(c.name), c.here) << c.name;
}

}  // namespace
