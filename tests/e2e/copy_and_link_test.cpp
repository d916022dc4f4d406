// "Copier" read back from another process's clipboard, and "Lien Web" and a double click
// reaching a browser stand-in.
//
// Wine hands web addresses to the xdg-open found on the Unix PATH that the Wine processes
// inherited. The test run puts scripts/e2e-browser first on that PATH, and that xdg-open
// appends each address it gets, one a line, to the file named by FIXTALLY_BROWSER_LOG (a Unix
// path). Both must be set in the Unix environment: Windows-side changes of the environment do
// not reach the Unix programs that Wine starts.
#include <gtest/gtest.h>

#include <thread>

#include "e2e_support.h"

namespace {

using namespace e2e;

TEST(CopyAndLink, CopierPutsTheRowOnTheClipboardAsOneAlignedLine) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(program.Scan());
  ASSERT_TRUE(ClearClipboard());

  program.Click(BtnCopy);
  ASSERT_TRUE(program.Settle());
  std::string text;
  ASSERT_TRUE(WaitUntil([&] { return ReadClipboardText(text); }, 5000))
      << "expected text on the clipboard after Copier, saw none";
  EXPECT_EQ(text, "KB1234567 | 22/2/2022 | Update | \r\n");
}

struct ClipboardOwner {
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ClipboardOwner() = default;
  ~ClipboardOwner() {
    if (window) DestroyWindow(window);
  }
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;
};

TEST(CopyAndLink, CopierWithoutRowsLeavesTheClipboardAlone) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  // The clipboard needs an owner window for data to be set.
  const ClipboardOwner owner;
  ASSERT_NE(owner.window, nullptr);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 10);
  ASSERT_NE(memory, nullptr);
  memcpy(GlobalLock(memory), "untouched", 10);
  GlobalUnlock(memory);
  ASSERT_TRUE(WaitUntil([&] { return OpenClipboard(owner.window) != FALSE; }, 5000));
  EmptyClipboard();
  const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
  if (!placed) GlobalFree(memory);
  CloseClipboard();
  ASSERT_TRUE(placed);

  program.Click(BtnCopy);
  ASSERT_TRUE(program.Settle());
  std::string text;
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_EQ(text, "untouched") << "Copier with an empty list must only beep";
}

// The addresses the browser stand-in has been given since the mark.
class BrowserLog {
 public:
  BrowserLog() {
    wchar_t unixPath[1024] = {};
    if (GetEnvironmentVariableW(L"FIXTALLY_BROWSER_LOG", unixPath, 1024) == 0) return;
    std::string narrow;
    for (const wchar_t* c = unixPath; *c; ++c) narrow += static_cast<char>(*c);
    path_ = WindowsPathOf(narrow);
    std::string before;
    if (ReadBytes(path_, before)) start_ = before.size();
  }
  bool Available() const { return !path_.empty(); }

  std::vector<std::string> Addresses() const {
    std::string all;
    std::vector<std::string> lines;
    if (!ReadBytes(path_, all) || all.size() < start_) return lines;
    std::string line;
    for (size_t i = start_; i < all.size(); ++i) {
      if (all[i] == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += all[i];
      }
    }
    return lines;
  }

  // Waits for the count, then a little longer so that a late extra address shows too.
  std::vector<std::string> WaitFor(size_t count) const {
    WaitUntil([&] { return Addresses().size() >= count; }, 15000);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return Addresses();
  }

 private:
  std::wstring path_;
  size_t start_ = 0;
};

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += "\"" + line + "\" ";
  return text.empty() ? "nothing" : text;
}

TEST(CopyAndLink, LienWebOpensTheFocusedRowsPageAndOnlyBeepsWithoutOne) {
  BrowserLog log;
  if (!log.Available()) {
    GTEST_SKIP() << "needs scripts/e2e-browser first on PATH and FIXTALLY_BROWSER_LOG set";
  }
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));

  // No row focused yet: only a beep.
  program.Click(BtnLinkWeb);
  ASSERT_TRUE(program.Settle());

  ASSERT_TRUE(program.Scan());
  ASSERT_TRUE(program.Type(L"1234"));  // focuses the row
  ASSERT_EQ(NextItem(program.List(), LVNI_FOCUSED), 0);
  program.Click(BtnLinkWeb);
  ASSERT_TRUE(program.Settle());
  const std::vector<std::string> opened = log.WaitFor(1);
  EXPECT_EQ(opened, std::vector<std::string>{kKbPage})
      << "expected only the page of the focused row, the browser saw " << Join(opened);
}

TEST(CopyAndLink, DoubleClickOnTheRowOpensTheSamePage) {
  BrowserLog log;
  if (!log.Available()) {
    GTEST_SKIP() << "needs scripts/e2e-browser first on PATH and FIXTALLY_BROWSER_LOG set";
  }
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(program.Scan());

  const RECT row = ItemRectOnScreen(program.List(), 0);
  ASSERT_GT(row.right, row.left) << "the row has no place on the screen";
  ASSERT_TRUE(ClickAt(POINT{row.left + 30, (row.top + row.bottom) / 2}, 2));
  const std::vector<std::string> opened = log.WaitFor(1);
  EXPECT_EQ(opened, std::vector<std::string>{kKbPage})
      << "expected one page after a double click on the row, the browser saw " << Join(opened);
  EXPECT_EQ(NextItem(program.List(), LVNI_FOCUSED), 0) << "the double-clicked row is focused";
}

}  // namespace
