// SOURCES beyond WMI in the real window: Wine's Windows Update Agent refuses its history
// (E_NOTIMPL), and servicing packages written into Wine's registry join WMI's hotfix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "servicing_packages_registry.h"

namespace {

using namespace e2e;
using servicing_registry::ServicingPackagesInRegistry;

// 14 May 2023 12:00 UTC: the same day in every time zone a test machine may have.
constexpr FILETIME kMay2023Noon{0x9be8a000u, 0x01d9865bu};

// The date of kMay2023Noon as the user's short date, as the window must show it.
std::wstring ShortDate() {
  FILETIME local{};
  FileTimeToLocalFileTime(&kMay2023Noon, &local);
  SYSTEMTIME day{};
  FileTimeToSystemTime(&local, &day);
  wchar_t text[64] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64);
  return text;
}

TEST(OtherSources, PackagesJoinWmisRowAndTheAgentsRefusalIsToldOnce) {
  const ServicingPackagesInRegistry registry({
      // The KB of Wine's WMI hotfix: its row stays WMI's alone.
      {L"Package_for_KB1234567~31bf3856ad364e35~amd64~~6.1.1.0", 112, kMay2023Noon, L"S-1-5-18",
       nullptr},
      {L"Package_for_KB5026446~31bf3856ad364e35~amd64~~19041.2965.1.5", 112, kMay2023Noon,
       L"S-1-5-18", nullptr},
      {L"Package_for_KB5000001~31bf3856ad364e35~amd64~~19041.1.1.0", 80, kMay2023Noon, nullptr,
       nullptr},
  });
  ProgramFolder folder("[OPTION]\r\nSOURCES=qfe,WU,cbs\r\n", true);
  Program program;
  ASSERT_TRUE(program.Start(folder));

  program.Click(BtnSearch);
  const HWND dialog = program.WaitForDialog(30000);
  ASSERT_NE(dialog, nullptr) << "expected one dialog naming the Windows Update failure";
  std::string seen;
  bool named = false;
  for (const std::wstring& text : ChildTexts(dialog)) {
    seen += "\"" + Narrow(text) + "\" ";
    named = named || text.rfind(L"Windows Update\u00a0: 0x80004001", 0) == 0;
  }
  EXPECT_TRUE(named) << "saw the texts " << seen;
  // The rows and their count are there before the dialog opens.
  EXPECT_EQ(program.Text(LabelNbKB), L"(3)");
  Press(GetDlgItem(dialog, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
  ASSERT_TRUE(program.Settle());
  EXPECT_EQ(FindProcessWindow(program.Id(), L"#32770", nullptr), nullptr) << "a second dialog";

  const std::wstring date = ShortDate();
  const std::vector<std::vector<std::wstring>> expected = {
      {kHotfixId, kInstalledOn, kDescription, L""},
      {L"KB5000001", date, L"Mise \u00e0 jour (maintenance) \u2013 remplac\u00e9e", L""},
      {L"KB5026446", date, L"Mise \u00e0 jour (maintenance)", L"NT AUTHORITY\\SYSTEM"},
  };
  const auto rows = Rows(program.List());
  EXPECT_EQ(rows, expected) << "saw " << Describe(rows);
  EXPECT_EQ(program.Quit(), 0);
}

}  // namespace
