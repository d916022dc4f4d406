// The real dialogs on screen: the task dialog, the French message dialog that stands in for it,
// the start-up warning and the general error report. Each is found from another thread by its
// class and caption and answered like a user would.
#include "app/chrome/dialogs_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kTextId = 100;  // the message dialog's text and icon controls
constexpr int kIconId = 101;

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
  reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WindowText(child));
  return TRUE;
}

std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Waits on its own thread for a visible dialog of the caption, then hands it to `answer`. A
// dialog that never shows up with that caption is closed anyway, so a test fails instead of
// hanging in a modal loop. (A Win32 thread: this compiler's thread model has no std::thread.)
class DialogAnswerer {
 public:
  DialogAnswerer(std::wstring caption, std::function<void(HWND)> answer)
      : caption_(std::move(caption)), answer_(std::move(answer)) {
    thread_ = CreateThread(nullptr, 0, &DialogAnswerer::Run, this, 0, nullptr);
  }
  ~DialogAnswerer() { Join(); }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  void Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  bool Found() {
    Join();
    return found_;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<DialogAnswerer*>(self)->Answer();
    return 0;
  }

  void Answer() {
    const ULONGLONG deadline = GetTickCount64() + 15000;
    while (GetTickCount64() < deadline) {
      HWND dialog = FindWindowW(L"#32770", caption_.c_str());
      if (dialog && IsWindowVisible(dialog)) {
        found_ = true;
        answer_(dialog);
        return;
      }
      Sleep(20);
    }
    if (HWND stray = FindWindowW(L"#32770", nullptr)) {
      PostMessageW(stray, WM_CLOSE, 0, 0);
      for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
        if (HWND button = GetDlgItem(stray, id)) PostMessageW(button, BM_CLICK, 0, 0);
      }
    }
  }

  std::wstring caption_;
  std::function<void(HWND)> answer_;
  std::atomic<bool> found_{false};
  HANDLE thread_ = nullptr;
};

void Click(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  ASSERT_NE(button, nullptr) << "no button " << id;
  PostMessageW(button, BM_CLICK, 0, 0);
}

DialogsWin32 MessageDialogs() {
  DialogsWin32Options options;
  options.isVistaOrLater = [] { return false; };
  return DialogsWin32(std::move(options));
}

const std::string kQuestion = "Voulez-vous arrêter l'opération immédiatement ?";

// Not a test: the child process of the next test, run in a copy of this program for which Wine
// reports another Windows version. Disabled, so that only that test runs it, by name.
TEST(IsVistaOrLaterChild, DISABLED_AnswersAsExpected) {
  wchar_t expected[8] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"FIXTALLY_EXPECT_VISTA", expected, 8), 0u);
  EXPECT_EQ(IsVistaOrLater(), expected[0] == L'1');
}

// Wine reports the version set for a program's name: Windows XP (5.1) is before Vista, Vista
// itself (6.0) and Windows 7 (6.1) are not.
TEST(IsVistaOrLater, FollowsTheVersionTheSystemReports) {
  wchar_t self[MAX_PATH] = {}, temp[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const struct {
    const wchar_t* version;
    bool vista;
  } cases[] = {{L"winxp", false}, {L"vista", true}, {L"win7", true}};
  for (const auto& c : cases) {
    const std::wstring name = std::wstring(L"fixtally-version-") + c.version + L".exe";
    const std::wstring copy = std::wstring(temp) + name;
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    const std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.version),
                   static_cast<DWORD>((lstrlenW(c.version) + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);

    std::wstring commandLine = L"\"" + copy +
                               L"\" --gtest_also_run_disabled_tests"
                               L" --gtest_filter=IsVistaOrLaterChild.DISABLED_AnswersAsExpected";
    SetEnvironmentVariableW(L"FIXTALLY_EXPECT_VISTA", c.vista ? L"1" : L"0");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableW(L"FIXTALLY_EXPECT_VISTA", nullptr);
    DWORD exitCode = 99;
    if (started) {
      WaitForSingleObject(child.hProcess, 60000);
      GetExitCodeProcess(child.hProcess, &exitCode);
      CloseHandle(child.hProcess);
      CloseHandle(child.hThread);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    DeleteFileW(copy.c_str());
    ASSERT_TRUE(started) << "could not start the copy for " << c.version;
    EXPECT_EQ(exitCode, 0u) << "IsVistaOrLater() did not answer " << c.vista << " on "
                            << std::string(c.version, c.version + lstrlenW(c.version));
  }
}

struct TaskDialogCase {
  int buttons;
  int pressed;  // the task dialog's id of the button clicked
  int expected;
};

TEST(TaskDialog, AnswersInTheProgramsCodes) {
  const std::vector<TaskDialogCase> cases = {
      {tdbYes | tdbNo, IDYES, mrYes},
      {tdbYes | tdbNo, IDNO, mrNo},
      {tdbOk, IDOK, mrOk},
      {tdbOk | tdbCancel, IDCANCEL, mrCancel},
      {tdbRetry | tdbCancel, IDRETRY, mrRetry},
      {tdbClose, IDCLOSE, mrAbort},  // Close (8) answers 3
  };
  DialogsWin32 dialogs;
  for (const TaskDialogCase& c : cases) {
    SCOPED_TRACE(c.pressed);
    DialogAnswerer answerer(L"Fixtally t\u00e2che", [&](HWND dialog) { Click(dialog, c.pressed); });
    const int result = dialogs.ShowTaskMessage("Fixtally tâche", "Opération en cours", kQuestion,
                                               tdIconQuestion, c.buttons, false);
    EXPECT_TRUE(answerer.Found());
    EXPECT_EQ(result, c.expected);
  }
}

TEST(TaskDialog, ShowsTheContentOnOneLine) {
  std::vector<std::wstring> texts;
  DialogAnswerer answerer(L"Fixtally lignes", [&](HWND dialog) {
    texts = ChildTexts(dialog);
    Click(dialog, IDOK);
  });
  DialogsWin32 dialogs;
  const int result = dialogs.ShowTaskMessage("Fixtally lignes", "Erreur (exception) 0x8004100E",
                                             "premi\xC3\xA8re\r\nseconde\ntroisi\xC3\xA8me",
                                             tdIconWarning, tdbOk, false);
  ASSERT_TRUE(answerer.Found());
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(Contains(texts, L"Erreur (exception) 0x8004100E"));
  EXPECT_TRUE(Contains(texts, L"premi\u00e8re secondetroisi\u00e8me"));
}

TEST(TaskDialog, LongTextsAreCut) {
  std::vector<std::wstring> texts;
  DialogAnswerer answerer(L"Fixtally long", [&](HWND dialog) {
    texts = ChildTexts(dialog);
    Click(dialog, IDOK);
  });
  DialogsWin32 dialogs;
  std::string content;
  for (int i = 0; i < 10000; ++i) content += "\xC3\xA9";  // 10,000 é
  EXPECT_EQ(dialogs.ShowTaskMessage("Fixtally long", std::string(10000, 'i'), content, tdIconError,
                                    tdbOk, false),
            mrOk);
  ASSERT_TRUE(answerer.Found());
  EXPECT_TRUE(Contains(texts, std::wstring(1024, L'i')));
  EXPECT_TRUE(Contains(texts, std::wstring(1024, L'\u00e9')));
}

struct MessageDialogCase {
  const char* name;
  std::function<void(HWND)> answer;
  int expected;
};

TEST(MessageDialog, TheEscapeQuestionBeforeVista) {
  const std::vector<MessageDialogCase> cases = {
      {"Oui", [](HWND d) { Click(d, IDYES); }, mrYes},
      {"Non", [](HWND d) { Click(d, IDNO); }, mrNo},
      {"Enter", [](HWND d) { PostMessageW(GetDlgItem(d, IDYES), WM_KEYDOWN, VK_RETURN, 0); },
       mrYes},
      {"Escape", [](HWND d) { PostMessageW(GetDlgItem(d, IDYES), WM_KEYDOWN, VK_ESCAPE, 0); },
       mrNo},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, mrCancel},
  };
  DialogsWin32 dialogs = MessageDialogs();
  for (const MessageDialogCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text, yes, no;
    bool yesIsDefault = false, hasIcon = false, hasOk = true;
    RECT frame{};
    DialogAnswerer answerer(L"Confirmation", [&](HWND dialog) {
      text = WindowText(GetDlgItem(dialog, kTextId));
      yes = WindowText(GetDlgItem(dialog, IDYES));
      no = WindowText(GetDlgItem(dialog, IDNO));
      hasOk = GetDlgItem(dialog, IDOK) != nullptr;
      yesIsDefault =
          (GetWindowLongW(GetDlgItem(dialog, IDYES), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
      hasIcon = GetDlgItem(dialog, kIconId) != nullptr;
      GetWindowRect(dialog, &frame);
      c.answer(dialog);
    });
    const int result = dialogs.ShowTaskMessage("Fixtally", "Opération en cours", kQuestion,
                                               tdIconQuestion, tdbYes | tdbNo, false);
    ASSERT_TRUE(answerer.Found());
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(text,
              L"Op\u00e9ration en cours\r\n\r\nVoulez-vous arr\u00eater l'op\u00e9ration "
              L"imm\u00e9diatement ?");
    EXPECT_EQ(yes, L"&Oui");
    EXPECT_EQ(no, L"&Non");
    EXPECT_FALSE(hasOk);
    EXPECT_TRUE(yesIsDefault);
    EXPECT_TRUE(hasIcon);
    // Centred on the screen.
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  }
}

struct TypeCase {
  int icon;
  std::wstring caption;
  bool hasIcon;
};

TEST(MessageDialog, CaptionAndIconFollowTheIcon) {
  const std::vector<TypeCase> cases = {
      {tdIconInformation, L"Information", true},
      {tdIconWarning, L"Avertissement", true},
      {tdIconError, L"Erreur", true},
      {42, L"Fixtally", false},
  };
  DialogsWin32 dialogs = MessageDialogs();
  for (const TypeCase& c : cases) {
    bool hasIcon = !c.hasIcon;
    std::wstring text;
    DialogAnswerer answerer(c.caption, [&](HWND dialog) {
      hasIcon = GetDlgItem(dialog, kIconId) != nullptr;
      text = WindowText(GetDlgItem(dialog, kTextId));
      Click(dialog, IDOK);
    });
    EXPECT_EQ(dialogs.ShowTaskMessage("Fixtally", "A", "l1\r\nl2", c.icon, tdbOk, false), mrOk);
    ASSERT_TRUE(answerer.Found()) << c.icon;
    EXPECT_EQ(hasIcon, c.hasIcon) << c.icon;
    EXPECT_EQ(text, L"A\r\n\r\nl1\r\nl2") << c.icon;  // line breaks stay here
  }
}

TEST(MessageDialog, ButtonsInTheirFixedOrderAndEscapeOnAnnuler) {
  std::vector<std::wstring> order;
  DialogAnswerer answerer(L"Avertissement", [&](HWND dialog) {
    std::vector<std::pair<LONG, std::wstring>> placed;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDYES, IDNO}) {
      HWND button = GetDlgItem(dialog, id);
      if (!button) continue;
      RECT rect{};
      GetWindowRect(button, &rect);
      placed.emplace_back(rect.left, WindowText(button));
    }
    std::sort(placed.begin(), placed.end());
    for (const auto& item : placed) order.push_back(item.second);
    PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  DialogsWin32 dialogs = MessageDialogs();
  EXPECT_EQ(dialogs.ShowTaskMessage("Fixtally", "i", "c", tdIconWarning, 63 | 64, false), mrCancel);
  ASSERT_TRUE(answerer.Found());
  EXPECT_EQ(order, (std::vector<std::wstring>{L"&Oui", L"&Non", L"OK", L"Annuler", L"&Abandonner",
                                              L"&Retenter"}));
}

TEST(MessageDialog, AHugeTextStaysOnTheScreen) {
  RECT frame{};
  DialogAnswerer answerer(L"Erreur", [&](HWND dialog) {
    GetWindowRect(dialog, &frame);
    Click(dialog, IDOK);
  });
  std::string content;
  for (int i = 0; i < 2000; ++i) content += "ligne \xC3\xA9\r\n";
  content += std::string(10000, 'w');  // one word wider than the screen
  DialogsWin32 dialogs = MessageDialogs();
  EXPECT_EQ(dialogs.ShowTaskMessage("Fixtally", "i", content, tdIconError, tdbOk, false), mrOk);
  ASSERT_TRUE(answerer.Found());
  EXPECT_GE(frame.top, 0);
  EXPECT_LE(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_LE(frame.right - frame.left, GetSystemMetrics(SM_CXSCREEN));
}

TEST(MessageDialog, StandsInWhenTheTaskDialogIsMissing) {
  DialogsWin32Options options;
  options.isVistaOrLater = [] { return true; };
  options.taskDialogLibrary = L"fixtally_no_such_library.dll";
  DialogsWin32 dialogs(std::move(options));
  DialogAnswerer answerer(L"Confirmation", [](HWND dialog) { Click(dialog, IDYES); });
  EXPECT_EQ(dialogs.ShowTaskMessage("Fixtally", "Opération en cours", kQuestion, tdIconQuestion,
                                    tdbYes | tdbNo, false),
            mrYes);
  EXPECT_TRUE(answerer.Found());
}

TEST(MessageDialog, TheStartupWarning) {
  std::wstring text;
  std::vector<std::wstring> texts;
  DialogAnswerer answerer(L"Avertissement", [&](HWND dialog) {
    text = WindowText(GetDlgItem(dialog, kTextId));
    texts = ChildTexts(dialog);
    Click(dialog, IDOK);
  });
  ShowStartupWarning();
  ASSERT_TRUE(answerer.Found());
  EXPECT_EQ(text, L"Ce programme n\u00e9cessite Windows XP (PRO), Vista ou ult\u00e9rieur");
  EXPECT_TRUE(Contains(texts, L"OK"));
  EXPECT_EQ(texts.size(), 3u);  // icon, text, OK
}

TEST(ErrorReport, AMessageBoxWithItsFullStop) {
  const std::vector<std::pair<std::string, std::wstring>> cases = {
      {"Acc\xC3\xA8s refus\xC3\xA9", L"Acc\u00e8s refus\u00e9."},
      {"Attention !", L"Attention !"},
  };
  DialogsWin32 dialogs;
  for (const auto& [message, shown] : cases) {
    std::vector<std::wstring> texts;
    DialogAnswerer answerer(L"Fixtally", [&](HWND dialog) {
      texts = ChildTexts(dialog);
      Click(dialog, IDOK);
    });
    dialogs.ShowErrorReport(message);
    ASSERT_TRUE(answerer.Found());
    EXPECT_TRUE(Contains(texts, shown)) << message;
  }
}

}  // namespace
