// The real Fixtally.exe, started as a separate process: its version test and the texts it keeps
// scrambled (its window and list: the end-to-end tests).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "remote_ui.h"
#include "settings/builtin_texts.h"

namespace {

using namespace remote_ui;

std::wstring ExePath() {
  return WindowsPathOf(FIXTALLY_EXE_PATH);
}

// A copy of the executable under another name, so that Wine can report another Windows version
// for it alone.
std::wstring CopyAs(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"fixtally-version-test";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring copy = folder + L"\\" + name;
  CopyFileW(ExePath().c_str(), copy.c_str(), FALSE);
  return copy;
}

void SetWineVersionFor(const std::wstring& exeName, const wchar_t* version) {
  const std::wstring key = L"Software\\Wine\\AppDefaults\\" + exeName;
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(handle, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                 static_cast<DWORD>((lstrlenW(version) + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

TEST(Executable, RefusesAnOlderSystemWithAWarningAndExitsWithZero) {
  const std::wstring copy = CopyAs(L"FixtallyNt4.exe");
  SetWineVersionFor(L"FixtallyNt4.exe", L"nt40");
  ChildProcess program;
  ASSERT_TRUE(program.Start(copy, L""));
  HWND warning = WaitForProcessWindow(program.Id(), L"#32770", L"Avertissement");
  ASSERT_NE(warning, nullptr) << "no warning dialog on Windows NT 4";
  EXPECT_EQ(FindProcessWindow(program.Id(), L"TMainForm", nullptr), nullptr);
  // The warning's text names the systems the program needs.
  const std::vector<std::wstring> texts = ChildTexts(warning);
  const bool textFound =
      std::find(texts.begin(), texts.end(),
                L"Ce programme n\u00e9cessite Windows XP (PRO), Vista ou ult\u00e9rieur") !=
      texts.end();
  EXPECT_TRUE(textFound);
  HWND ok = GetDlgItem(warning, IDOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(WindowText(ok), L"OK");
  Press(ok);
  EXPECT_EQ(program.WaitForExit(15000), 0);
}

TEST(Executable, NoVersionInAnyLetterCaseSkipsTheVersionTest) {
  const std::wstring copy = CopyAs(L"FixtallyWin98.exe");
  SetWineVersionFor(L"FixtallyWin98.exe", L"win98");
  ChildProcess program;
  ASSERT_TRUE(program.Start(copy, L"/NOVERSION"));
  HWND window = WaitForProcessWindow(program.Id(), L"TMainForm", nullptr);
  ASSERT_NE(window, nullptr) << "/NOVERSION did not skip the version test";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(15000), 0);
}

std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  if (FILE* file = _wfopen(path.c_str(), L"rb")) {
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
  }
  return bytes;
}

// The text's ASCII letters in either case, each followed by `stride` - 1 zero bytes (2 finds
// the UTF-16 form).
bool HoldsText(std::string_view bytes, std::string_view text, std::size_t stride) {
  const std::size_t span = text.size() * stride;
  for (std::size_t at = 0; at + span <= bytes.size(); ++at) {
    bool same = true;
    for (std::size_t i = 0; same && i < text.size(); ++i) {
      const char b = bytes[at + i * stride];
      same = std::tolower(static_cast<unsigned char>(b)) ==
             std::tolower(static_cast<unsigned char>(text[i]));
      for (std::size_t zero = 1; same && zero < stride; ++zero)
        same = bytes[at + i * stride + zero] == 0;
    }
    if (same) return true;
  }
  return false;
}

// The four built-in texts are kept scrambled: none may stand in the executable as plain text,
// as 8-bit or as UTF-16 characters, in any letter case.
TEST(Executable, HoldsNoBuiltInTextInPlain) {
  const std::string bytes = FileBytes(ExePath());
  ASSERT_GT(bytes.size(), 100000u);
  for (const std::string& text :
       {DefaultNamespace(), HotfixClassName(), DefaultKbLinkTemplate(), HomePageAddress()}) {
    ASSERT_GE(text.size(), 10u);
    EXPECT_FALSE(HoldsText(bytes, text, 1)) << text << " stands in plain in the executable";
    EXPECT_FALSE(HoldsText(bytes, text, 2)) << text << " stands in UTF-16 in the executable";
  }
  // The search finds a text that does stand there, in either form and case.
  std::string planted = bytes.substr(0, 1000) + "xROOT\\CIMv2x";
  for (const char c : std::string("Root\\cimv2")) planted += {c, '\0'};
  EXPECT_TRUE(HoldsText(planted, "root\\cimv2", 1));
  EXPECT_TRUE(HoldsText(planted.substr(0, planted.size() - 4), "root\\ci", 2));
  EXPECT_FALSE(HoldsText(planted.substr(0, planted.size() - 4), "root\\cimv2", 2));
}

}  // namespace

// Windows reads the resolution awareness from the manifest only in its own namespaces, and says
// nothing of one it ignores; Wine treats every program as aware anyway. So the manifest is read
// here as the system's activation context reads it.
TEST(Executable, ItsManifestDeclaresPerMonitorAwareness) {
  const std::wstring path = ExePath();
  ACTCTXW description{};
  description.cbSize = sizeof description;
  description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  description.lpSource = path.c_str();
  description.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&description);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest does not read: " << GetLastError();
  struct Setting {
    const wchar_t* space;
    const wchar_t* name;
    std::wstring expected;
  } settings[] = {
      {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"},
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
       L"PerMonitorV2, PerMonitor"},
  };
  for (const Setting& setting : settings) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, context, setting.space, setting.name, value, 64, &written))
        << std::string(setting.name, setting.name + lstrlenW(setting.name)) << " is not read";
    EXPECT_EQ(std::wstring(value), setting.expected);
  }
  ReleaseActCtx(context);
}
