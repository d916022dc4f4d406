// The window's keys pressed as a keyboard presses them (SendInput), the list's context menu,
// and "Exporter…" through the standard save dialog, on the real program.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

// A key with its modifiers, pressed and released in order.
void PressKeys(std::initializer_list<WORD> modifiers, WORD key) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD modifier : modifiers) add(modifier, false);
  add(key, false);
  add(key, true);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) add(*it, true);
  // One event at a time, as fingers give them.
  for (INPUT& input : inputs) {
    SendInput(1, &input, sizeof(INPUT));
    Sleep(40);
  }
}

HWND FocusOf(const Program& program) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(program.Window(), nullptr);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Scanned, Wine's one row clicked: the list has the keyboard focus and the row is focused.
::testing::AssertionResult ScanAndFocusTheRow(Program& program) {
  if (auto scanned = program.Scan(); !scanned) return scanned;
  SetForegroundWindow(program.Window());
  const RECT row = ItemRectOnScreen(program.List(), 0);
  if (row.right <= row.left) return ::testing::AssertionFailure() << "the row has no place";
  if (!ClickAt(POINT{row.left + 30, (row.top + row.bottom) / 2})) {
    return ::testing::AssertionFailure() << "xdotool could not click";
  }
  if (!WaitUntil([&] { return FocusOf(program) == program.List(); }, 5000) ||
      !WaitUntil([&] { return NextItem(program.List(), LVNI_FOCUSED) == 0; }, 5000)) {
    return ::testing::AssertionFailure() << "the click did not give the row the focus";
  }
  // The window's activation by the click resets the keyboard state once it is handled.
  Sleep(300);
  return ::testing::AssertionSuccess();
}

// The clipboard's text once the action has replaced a marker put there first (an earlier
// test may have left the very text expected).
std::string ClipboardAfter(const std::function<void()>& action) {
  HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const char marker[] = "(marker)";
  if (WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 5000)) {
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof marker);
    memcpy(GlobalLock(memory), marker, sizeof marker);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    CloseClipboard();
  }
  action();
  std::string text;
  WaitUntil([&] { return ReadClipboardText(text) && text != marker; }, 5000);
  DestroyWindow(owner);
  return text;
}

TEST(KeysMenuAndExport, EachKeyRunsItsCommandWhereItCounts) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(ScanAndFocusTheRow(program));

  EXPECT_EQ(ClipboardAfter([] { PressKeys({VK_CONTROL}, 'C'); }),
            "KB1234567 | 22/2/2022 | Update | \r\n")
      << "Ctrl+C in the list copies the focused row's line";
  EXPECT_EQ(ClipboardAfter([] {
              PressKeys({VK_CONTROL, VK_SHIFT}, 'C');
            }),
            "KB1234567 | 22/2/2022 | Update | \r\n")
      << "Ctrl+Shift+C copies the list";

  // F5 scans again: the count comes back.
  SendMessageW(program.Control(LabelNbKB), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"?"));
  PressKeys({}, VK_F5);
  EXPECT_TRUE(WaitUntil([&] { return program.Text(LabelNbKB) == L"(1)"; }, 30000))
      << "F5 did not scan; the count reads " << Narrow(program.Text(LabelNbKB));

  // Ctrl+F gives the search box the focus, its text selected; there Ctrl+C is the box's own.
  program.SetSearch(L"KB12");
  ASSERT_TRUE(ScanAndFocusTheRow(program));
  PressKeys({VK_CONTROL}, 'F');
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(program) == program.Control(EditSearch); }, 5000))
      << "Ctrl+F left the focus elsewhere";
  DWORD start = 1, end = 0;
  SendMessageW(program.Control(EditSearch), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(ClipboardAfter([] { PressKeys({VK_CONTROL}, 'C'); }), "KB12")
      << "Ctrl+C in the search box copies its selection";

  // F3 from the list as well; then typing in the list still searches it.
  ASSERT_TRUE(ScanAndFocusTheRow(program));
  PressKeys({}, VK_F3);
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(program) == program.Control(EditSearch); }, 5000))
      << "F3 left the focus elsewhere";
  EXPECT_EQ(program.Quit(), 0);
}

// The program's open popup menu, once it is on screen.
HWND OpenMenu(const Program& program) {
  return WaitForProcessWindow(program.Id(), L"#32768", nullptr, 10000);
}

// The menu's items and states are read in tests/win32/context_menu_test.cpp: Wine lets no
// other process read a menu. Here: it opens where a person opens it, and closes.
TEST(KeysMenuAndExport, ContextMenuOpensOnARowBelowTheRowsAndFromTheKeyboard) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(ScanAndFocusTheRow(program));
  RECT list{};
  GetWindowRect(program.List(), &list);

  // The menu key, and Shift+F10.
  SetForegroundWindow(program.Window());
  PressKeys({}, VK_APPS);
  HWND menu = OpenMenu(program);
  ASSERT_NE(menu, nullptr) << "the menu key opened no menu";
  PressKeys({}, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
  PressKeys({VK_SHIFT}, VK_F10);
  menu = OpenMenu(program);
  ASSERT_NE(menu, nullptr) << "Shift+F10 opened no menu";
  PressKeys({}, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));

  // A right click on the row opens the menu; the row is focused and selected.
  const RECT row = ItemRectOnScreen(program.List(), 0);
  ASSERT_TRUE(ClickAt(POINT{row.left + 40, (row.top + row.bottom) / 2}, 1, 3));
  menu = OpenMenu(program);
  ASSERT_NE(menu, nullptr) << "a right click on the row opened no menu";
  EXPECT_EQ(NextItem(program.List(), LVNI_SELECTED | LVNI_FOCUSED), 0);
  PressKeys({}, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000)) << "Escape left it open";

  // Below the rows as well; the list stays as it was.
  ASSERT_TRUE(ClickAt(POINT{list.left + 40, list.bottom - 30}, 1, 3));
  menu = OpenMenu(program);
  ASSERT_NE(menu, nullptr) << "a right click below the rows opened no menu";
  PressKeys({}, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
  EXPECT_EQ(ItemCount(program.List()), 1);
  EXPECT_EQ(program.Quit(), 0);
}

// A folder of the test's own under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"fixtally-export-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::wstring& name : Files()) {
      const std::wstring file = path_ + L"\\" + name;
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::wstring path_;
};

// The save dialog's file name box: an edit, alone or inside the file name combo box (Wine
// puts that one inside a ComboBoxEx32).
HWND FileNameBox(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, 0x480)) return edit;
  for (HWND inner = GetDlgItem(dialog, 0x47C); inner != nullptr;
       inner = FindWindowExW(inner, nullptr, nullptr, nullptr)) {
    wchar_t kind[32] = {};
    GetClassNameW(inner, kind, 32);
    if (lstrcmpiW(kind, L"Edit") == 0) return inner;
  }
  return nullptr;
}

std::string ComputerNameA() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = sizeof name;
  GetComputerNameA(name, &length);
  return std::string(name, length);
}

TEST(KeysMenuAndExport, ExportWritesTheCsvAndReportsARefusedWrite) {
  ProgramFolder folder;
  TempFolder exports;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(ScanAndFocusTheRow(program));

  PressKeys({VK_CONTROL}, 'S');
  HWND dialog = WaitForProcessWindow(program.Id(), L"#32770", L"Exporter la liste");
  ASSERT_NE(dialog, nullptr) << "Ctrl+S opened no save dialog";
  HWND name = FileNameBox(dialog);
  ASSERT_NE(name, nullptr);
  SYSTEMTIME today;
  GetLocalTime(&today);
  wchar_t date[16];
  swprintf(date, 16, L"%04u-%02u-%02u", today.wYear, today.wMonth, today.wDay);
  const std::string computer = ComputerNameA();
  EXPECT_EQ(WindowText(name),
            L"Fixtally-" + std::wstring(computer.begin(), computer.end()) + L"-" + date + L".csv");

  const std::wstring target = exports.Path() + L"\\hotfixes.csv";
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  std::string bytes;
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(target, bytes) && !bytes.empty(); }, 15000))
      << "nothing was written to the chosen file";
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const auto records = csv_reader::Read(std::string_view(bytes).substr(3), ",");
  ASSERT_TRUE(records.has_value()) << bytes;
  const csv_reader::Records expected = {
      {"Ordinateur", "KB", "Install\xC3\xA9 le", "Install\xC3\xA9 le (ISO 8601)", "Description",
       "Install\xC3\xA9 par"},
      {computer, "KB1234567", "22/2/2022", "", "Update", ""}};
  EXPECT_EQ(*records, expected) << bytes;

  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
  SetForegroundWindow(program.Window());
  Sleep(300);
  // Into a folder that does not exist (refused to every account, root included): the box says
  // where and why, and nothing is left behind.
  const std::wstring refused = exports.Path() + L"\\missing\\hotfixes.csv";
  PressKeys({VK_CONTROL}, 'S');
  dialog = WaitForProcessWindow(program.Id(), L"#32770", L"Exporter la liste");
  ASSERT_NE(dialog, nullptr);
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(refused.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  HWND report = program.WaitForDialog(15000);
  ASSERT_NE(report, nullptr) << "the refused write was not reported";
  std::wstring shown;
  for (const std::wstring& text : ChildTexts(report)) shown += text + L"\n";
  EXPECT_NE(shown.find(refused), std::wstring::npos) << Narrow(shown);
  EXPECT_NE(shown.find(L"\u00a0: "), std::wstring::npos) << "no system text: " << Narrow(shown);
  PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
  EXPECT_EQ(exports.Files(), std::vector<std::wstring>{L"hotfixes.csv"})
      << "a file was left beside";
  EXPECT_EQ(ItemCount(program.List()), 1) << "the list changed";
  EXPECT_EQ(program.Quit(), 0);
}

}  // namespace
