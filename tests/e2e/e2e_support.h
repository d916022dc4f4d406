#pragma once
// The real Fixtally.exe in a folder of its own, so that each test has a private Fixtally.ini,
// and the ways a person reaches its window: its controls by id, its buttons, its search box,
// its list and its error dialog.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "remote_ui.h"

namespace e2e {

using namespace remote_ui;

inline const wchar_t kMainCaption[] =
    L"Fixtally - Mises \u00e0 jour, mises \u00e0 jour de s\u00e9curit\u00e9, et correctifs "
    L"install\u00e9s (Windows)";

// What Wine's WMI answers for its one installed hotfix.
inline const wchar_t kHotfixId[] = L"KB1234567";
inline const wchar_t kInstalledOn[] = L"22/2/2022";
inline const wchar_t kDescription[] = L"Update";
inline const char kKbPage[] = "https://support.microsoft.com/help/1234567";

// The main window's controls carry 100 + their place in the form table.
enum Control : int {
  BtnClose = 100,
  BtnSearch = 101,
  ASLink = 102,
  LabelCopyR = 103,
  LabelTitle = 104,
  ImgLogo = 105,
  LabelVersion = 106,
  BtnLinkWeb = 107,
  LabelNbKB = 108,
  BtnCopy = 109,
  LabelFiltre = 110,
  TopPanel = 111,
  vst = 112,
  EditSearch = 113,
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE &&
      written == bytes.size();
  CloseHandle(file);
  return ok;
}

// The whole file, or nothing when it cannot be opened.
inline bool ReadBytes(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return true;
}

// For messages: ASCII as it is, anything else as \uXXXX.
inline std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      narrow += static_cast<char>(c);
    } else {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c) & 0xFFFF);
      narrow += escaped;
    }
  }
  return narrow;
}

// A fresh folder holding a copy of the executable (and the settings file a test gives it),
// removed with everything in it when the test ends.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& iniContent = {}, bool withIni = false) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = L"fixtally-e2e-" + std::to_wstring(GetCurrentProcessId());
    for (const char* part : {test->test_suite_name(), test->name()}) {
      name += L'-';
      for (const char* c = part; *c; ++c) name += static_cast<wchar_t>(*c);
    }
    folder_ = std::wstring(temp) + name;
    CreateDirectoryW(folder_.c_str(), nullptr);
    copied_ = CopyFileW(WindowsPathOf(FIXTALLY_EXE_PATH).c_str(), Exe().c_str(), FALSE) != FALSE;
    if (withIni) WriteBytes(Ini(), iniContent);
  }
  ~ProgramFolder() {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
  }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  bool Ready() const { return copied_; }
  std::wstring Exe() const { return folder_ + L"\\Fixtally.exe"; }
  std::wstring Ini() const { return folder_ + L"\\Fixtally.ini"; }
  std::string IniText() const {
    std::string text;
    ReadBytes(Ini(), text);
    return text;
  }

 private:
  std::wstring folder_;
  bool copied_ = false;
};

// One running Fixtally and its main window.
class Program {
 public:
  Program() = default;
  // A test that stopped half-way leaves nothing running, and the copy can then be deleted.
  ~Program() {
    if (process_.Handle() && WaitForSingleObject(process_.Handle(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.Handle(), 99);
      WaitForSingleObject(process_.Handle(), 5000);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts the copy in the folder and waits for its main window.
  ::testing::AssertionResult Start(const ProgramFolder& folder) {
    if (!folder.Ready()) return ::testing::AssertionFailure() << "the executable was not copied";
    if (!process_.Start(folder.Exe(), L"")) {
      return ::testing::AssertionFailure() << "CreateProcess failed: " << GetLastError();
    }
    window_ = WaitForProcessWindow(process_.Id(), L"TMainForm", nullptr);
    if (!window_) return ::testing::AssertionFailure() << "the main window never appeared";
    // The window is up once it answers; its creation handler has run by then.
    if (!Responsive()) return ::testing::AssertionFailure() << "the main window does not answer";
    return ::testing::AssertionSuccess();
  }

  HWND Window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  HWND List() const { return Control(vst); }
  DWORD Id() const { return process_.Id(); }
  ChildProcess& Process() { return process_; }

  bool Responsive(int timeoutMs = 5000) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                               static_cast<UINT>(timeoutMs), &result) != 0;
  }

  std::wstring Text(int id) const { return WindowText(Control(id)); }
  void Click(int id) const { Press(Control(id)); }

  // Everything posted before has been handled once a message posted after it has taken
  // effect (one thread, one queue, first in first out). The message changes the search box's
  // length limit, which the program never looks at, and the limit is put back afterwards.
  ::testing::AssertionResult Settle() const {
    HWND edit = Control(EditSearch);
    const LRESULT limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    const WPARAM marker = static_cast<WPARAM>(limit == 12345 ? 12346 : 12345);
    PostMessageW(edit, EM_SETLIMITTEXT, marker, 0);
    const bool handled = WaitUntil(
        [&] { return static_cast<WPARAM>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)) == marker; },
        20000);
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
    if (!handled) {
      return ::testing::AssertionFailure() << "the program did not handle its messages in 20 s";
    }
    return ::testing::AssertionSuccess();
  }

  // Types into the search box one character at a time, as a keyboard does, and waits until
  // every character has been handled.
  ::testing::AssertionResult Type(const std::wstring& text) const {
    HWND edit = Control(EditSearch);
    const std::wstring expected = WindowText(edit) + text;
    // After WM_SETTEXT the caret stands at the start; a person types at the end.
    const WPARAM end = static_cast<WPARAM>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 0);
    if (!WaitUntil([&] { return WindowText(edit) == expected; }, 10000)) {
      return ::testing::AssertionFailure()
             << "expected the search box to hold \"" << Narrow(expected) << "\", saw \""
             << Narrow(WindowText(edit)) << "\"";
    }
    return ::testing::AssertionSuccess();
  }

  void SetSearch(const std::wstring& text) const {
    SendMessageTimeoutW(Control(EditSearch), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 10000, nullptr);
  }

  // Presses "Analyser" and waits for the count of a successful scan.
  ::testing::AssertionResult Scan(const std::wstring& expectedCount = L"(1)") const {
    SendMessageTimeoutW(Control(LabelNbKB), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"?"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    Click(BtnSearch);
    if (!WaitUntil([&] { return Text(LabelNbKB) == expectedCount; }, 30000)) {
      return ::testing::AssertionFailure()
             << "after Analyser expected the count \"" << Narrow(expectedCount) << "\", saw \""
             << Narrow(Text(LabelNbKB)) << "\"";
    }
    return Settle();
  }

  // The program's task dialog titled "Fixtally", when it shows one, once it is on screen with
  // its buttons.
  HWND WaitForDialog(int timeoutMs) const {
    const HWND dialog = WaitForProcessWindow(process_.Id(), L"#32770", L"Fixtally", timeoutMs);
    if (dialog == nullptr) return nullptr;
    WaitUntil([&] { return FindWindowExW(dialog, nullptr, L"Button", nullptr) != nullptr; },
              timeoutMs);
    return dialog;
  }

  // Asks the window to close with "Quitter" and waits for the process to end.
  long Quit() {
    Click(BtnClose);
    return process_.WaitForExit(15000);
  }

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};

// The rows of the list as the control shows them, four texts each.
inline std::vector<std::vector<std::wstring>> Rows(HWND list) {
  std::vector<std::vector<std::wstring>> rows;
  const int count = ItemCount(list);
  for (int row = 0; row < count; ++row) {
    std::vector<std::wstring> texts;
    for (int column = 0; column < 4; ++column) texts.push_back(ItemText(list, row, column));
    rows.push_back(texts);
  }
  return rows;
}

inline std::vector<std::vector<std::wstring>> WineHotfixRows() {
  return {{kHotfixId, kInstalledOn, kDescription, L""}};
}

inline std::string Describe(const std::vector<std::vector<std::wstring>>& rows) {
  std::string text = std::to_string(rows.size()) + " row(s)";
  for (const auto& row : rows) {
    text += " [";
    for (size_t i = 0; i < row.size(); ++i) text += (i ? " | " : "") + Narrow(row[i]);
    text += "]";
  }
  return text;
}

// The sort mark of every column: 'v' descending, '^' ascending, '-' none.
inline std::string SortMarks(HWND list) {
  std::string marks;
  for (int column = 0; column < 4; ++column) {
    const int format = HeaderFormat(list, column);
    marks += (format & HDF_SORTDOWN) ? 'v' : (format & HDF_SORTUP) ? '^' : '-';
  }
  return marks;
}

}  // namespace e2e
