// The clipboard and shell adapters against Wine's real implementations: the text "Copier" sets
// is what another program reads, and the address "Lien Web" opens reaches the browser whole.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "Systeme/shell_win32.h"
#include "list/clipboard_win32.h"

namespace {

// Clipboard content needs an owner window; a message-only one is enough.
class OwnerWindow {
 public:
  OwnerWindow()
      : hwnd_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {}
  ~OwnerWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~UniqueHandle() {
    if (handle_) CloseHandle(handle_);
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// What a reader of the plain-text format gets; "<closed>" when the clipboard cannot be opened.
std::string ReadClipboardText() {
  if (!OpenClipboard(nullptr)) return "<closed>";
  std::string text = "<no text>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::wstring ReadClipboardUnicode() {
  if (!OpenClipboard(nullptr)) return L"<closed>";
  std::wstring text = L"<no text>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : std::wstring();
}

std::string ReadFileBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::wstring TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::unique_ptr<Clipboard> ClipboardOwnedBy(const OwnerWindow& window) {
  const HWND owner = window.get();
  return MakeWindowsClipboard([owner] { return owner; });
}

TEST(ClipboardWin32, TextIsReadBackByteForByte) {
  OwnerWindow owner;
  ASSERT_NE(owner.get(), nullptr);
  std::unique_ptr<Clipboard> clipboard = ClipboardOwnedBy(owner);
  const std::vector<std::string> texts = {
      "KB1234567 | 2/22/2022 | Update | \r\n",
      "",
      std::string(10000, 'x') + "\r\n",
      "Mise \xE0 jour de s\xE9"
      "curit\xE9 \x80\r\n",
  };
  for (const std::string& text : texts) {
    clipboard->SetText(text);
    EXPECT_EQ(ReadClipboardText(), text) << text.substr(0, 30);
  }
}

TEST(ClipboardWin32, TextIsInTheSystemCodePage) {
  OwnerWindow owner;
  ClipboardOwnedBy(owner)->SetText("\xE9t\xE9 \x80");
  EXPECT_EQ(ReadClipboardUnicode(), L"\u00e9t\u00e9 \u20ac");
}

TEST(ClipboardWin32, ReplacesEveryFormatThatWasThere) {
  OwnerWindow owner;
  ASSERT_TRUE(OpenClipboard(owner.get()));
  EmptyClipboard();
  const wchar_t previous[] = L"previous";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof previous);
  ASSERT_NE(block, nullptr);
  memcpy(GlobalLock(block), previous, sizeof previous);
  GlobalUnlock(block);
  ASSERT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
  CloseClipboard();

  ClipboardOwnedBy(owner)->SetText("new");
  EXPECT_EQ(ReadClipboardText(), "new");
  EXPECT_EQ(ReadClipboardUnicode(), L"new");
}

// Another program's thread that keeps the clipboard open until told to let it go.
struct ClipboardHolder {
  UniqueHandle opened{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  bool held = false;

  static DWORD WINAPI Run(void* parameter) {
    auto* holder = static_cast<ClipboardHolder*>(parameter);
    holder->held = OpenClipboard(nullptr) != FALSE;
    SetEvent(holder->opened.get());
    WaitForSingleObject(holder->release.get(), INFINITE);
    if (holder->held) CloseClipboard();
    return 0;
  }
};

TEST(ClipboardWin32, ClipboardHeldByAnotherThreadIsReported) {
  ClipboardHolder holder;
  UniqueHandle thread(CreateThread(nullptr, 0, &ClipboardHolder::Run, &holder, 0, nullptr));
  ASSERT_NE(thread.get(), nullptr);
  WaitForSingleObject(holder.opened.get(), INFINITE);
  ASSERT_TRUE(holder.held);

  OwnerWindow owner;
  std::unique_ptr<Clipboard> clipboard = ClipboardOwnedBy(owner);
  try {
    clipboard->SetText("refused");
    ADD_FAILURE() << "no error while another thread holds the clipboard";
  } catch (const EFixtallyError& error) {
    EXPECT_STREQ(error.what(), "Impossible d'ouvrir le Presse-papiers");
  }
  SetEvent(holder.release.get());
  WaitForSingleObject(thread.get(), INFINITE);

  clipboard->SetText("accepted");
  EXPECT_EQ(ReadClipboardText(), "accepted");
}

// Not a test: the child process of the next test, which dumps the clipboard's text into the
// file it is given, so the parent can see what another program reads. Disabled, so that only
// the parent runs it (by name, with --gtest_also_run_disabled_tests).
TEST(ClipboardChild, DISABLED_DumpsTheClipboardText) {
  const std::wstring dump = Environment(L"FIXTALLY_CLIPBOARD_DUMP");
  ASSERT_FALSE(dump.empty());
  ASSERT_TRUE(WriteFileBytes(dump, ReadClipboardText()));
}

TEST(ClipboardWin32, OtherProcessReadsTheText) {
  OwnerWindow owner;
  const std::string text = "KB1 | 1/1/2000 | Mise \xE0 jour | \r\nKB22 | x | y | z\r\n";
  ClipboardOwnedBy(owner)->SetText(text);

  const std::wstring folder = TempFolder(L"fixtally-clipboard");
  const std::wstring dump = folder + L"\\dump.txt";
  DeleteFileW(dump.c_str());
  wchar_t self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::wstring commandLine = L"\"" + std::wstring(self) +
                             L"\" --gtest_also_run_disabled_tests"
                             L" --gtest_filter=ClipboardChild.DISABLED_DumpsTheClipboardText";
  SetEnvironmentVariableW(L"FIXTALLY_CLIPBOARD_DUMP", dump.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableW(L"FIXTALLY_CLIPBOARD_DUMP", nullptr);
  ASSERT_TRUE(started);
  UniqueHandle process(child.hProcess), childThread(child.hThread);
  ASSERT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(dump), text);
  DeleteFileW(dump.c_str());
  RemoveDirectoryW(folder.c_str());
}

// Wine hands web addresses to winebrowser, which starts the first command of its "Browsers"
// setting with the address appended. The test points that setting at a recording script for
// the time of the test, so what the shell received can be read back.
class RecordingBrowser {
 public:
  RecordingBrowser() {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return;  // not under Wine
    underWine_ = true;
    folder_ = TempFolder(L"fixtally-browser");
    log_ = folder_ + L"\\browser.log";
    DeleteFileW(log_.c_str());
    script_ = folder_ + L"\\record.sh";
    char* unixFolder = unixName(folder_.c_str());
    if (!unixFolder) return;
    const std::string unixFolderText = unixFolder;
    HeapFree(GetProcessHeap(), 0, unixFolder);
    if (!WriteFileBytes(script_, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + unixFolderText +
                                     "/browser.log'\n")) {
      return;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    wchar_t previous[512] = {};
    DWORD size = sizeof previous - sizeof(wchar_t);
    DWORD type = 0;
    hadPrevious_ = RegQueryValueExW(key_, L"Browsers", nullptr, &type,
                                    reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS;
    // A value left by an earlier run that died mid-test is this test's own, not the user's.
    previous_ = previous;
    if (previous_.find(L"fixtally-browser-") != std::wstring::npos) hadPrevious_ = false;
    std::wstring command = L"/bin/sh \"";
    for (const char c : unixFolderText)
      command += static_cast<wchar_t>(static_cast<unsigned char>(c));
    command += L"/record.sh\"";
    ready_ =
        RegSetValueExW(key_, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }
  ~RecordingBrowser() {
    DeleteFileW(log_.c_str());
    DeleteFileW(script_.c_str());
    RemoveDirectoryW(folder_.c_str());
    if (!key_) return;
    if (hadPrevious_) {
      RegSetValueExW(key_, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_.c_str()),
                     static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
    } else {
      RegDeleteValueW(key_, L"Browsers");
    }
    RegCloseKey(key_);
  }
  RecordingBrowser(const RecordingBrowser&) = delete;
  RecordingBrowser& operator=(const RecordingBrowser&) = delete;

  bool UnderWine() const { return underWine_; }
  bool Ready() const { return ready_; }

  // The addresses the browser received, once `count` of them have arrived (or after 60 s).
  std::vector<std::string> WaitForAddresses(std::size_t count) const {
    std::vector<std::string> lines;
    for (int waited = 0; waited < 600; ++waited) {
      lines.clear();
      const std::string log = ReadFileBytes(log_);
      std::size_t start = 0;
      for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(log.substr(start, end - start));
      }
      if (lines.size() >= count) break;
      Sleep(100);
    }
    return lines;
  }

 private:
  std::wstring folder_;
  std::wstring log_;
  std::wstring script_;
  HKEY key_ = nullptr;
  bool hadPrevious_ = false;
  std::wstring previous_;
  bool underWine_ = false;
  bool ready_ = false;
};

TEST(ShellWin32, WebAddressReachesTheBrowserWhole) {
  RecordingBrowser browser;
  if (!browser.UnderWine()) GTEST_SKIP() << "the recording browser is set up through Wine";
  ASSERT_TRUE(browser.Ready()) << "could not point Wine's winebrowser at the recording script";
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  OwnerWindow owner;
  const HWND ownerHandle = owner.get();
  ShellWin32 shell([ownerHandle] { return ownerHandle; });
  // Over the 255 characters a fixed buffer would keep, up to the longest address handed over.
  const std::string prefix = "https://support.example.com/";
  const std::vector<std::string> addresses = {
      prefix + "kb/1234567",
      prefix + std::string(kMaxShellPathLength - prefix.size() - 8, 'p') + "/1234567",
  };
  // Refused before it reaches the shell, whose buffer it would overrun: no browser starts, and
  // the refusal is an error the program reports.
  EXPECT_THROW(shell.OpenDocument(prefix + std::string(2000, 'q') + "/1234567"), EFixtallyError);
  for (const std::string& address : addresses) shell.OpenDocument(address);
  const std::vector<std::string> received = browser.WaitForAddresses(addresses.size());
  // Each address starts its own browser, so they may arrive in either order.
  ASSERT_EQ(received.size(), addresses.size());
  for (const std::string& address : addresses) {
    EXPECT_NE(std::find(received.begin(), received.end(), address), received.end())
        << address.substr(0, 60) << " (" << address.size() << " characters)";
  }
  EXPECT_EQ(addresses[1].size(), kMaxShellPathLength);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace
