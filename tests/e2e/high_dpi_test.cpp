// The window built on screens of other resolutions: everything it describes at 96 pixels per
// inch (positions, sizes, fonts, the layout's margins, the list's rows, the window's height)
// follows the resolution, its width follows ScaleForDpi, and nothing the user sees is cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

// The resolution that every program started from now on reads: Wine takes it from the user's
// desktop settings when a process starts, and falls back on the hardware profile's 96 when the
// user has none, as in the test prefix. The value goes again when the test ends.
class ScreenResolution {
 public:
  explicit ScreenResolution(DWORD pixelsPerInch) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    set_ = RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pixelsPerInch),
                          sizeof pixelsPerInch) == ERROR_SUCCESS;
  }
  ~ScreenResolution() {
    if (!key_) return;
    RegDeleteValueW(key_, kValue);
    RegCloseKey(key_);
  }
  ScreenResolution(const ScreenResolution&) = delete;
  ScreenResolution& operator=(const ScreenResolution&) = delete;
  bool Set() const { return set_; }

 private:
  static constexpr wchar_t kValue[] = L"LogPixels";
  HKEY key_ = nullptr;
  bool set_ = false;
};

// A text in a font as the program makes one: a character height in pixels.
SIZE TextSize(const wchar_t* face, int characterHeight, bool bold, const std::wstring& text) {
  HDC screen = GetDC(nullptr);
  HFONT font = CreateFontW(-characterHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  HGDIOBJ previous = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SIZE extent{};
  GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(screen, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return SIZE{extent.cx, metrics.tmHeight};
}

RECT RectIn(HWND control, HWND window) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT Sized(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

struct Resolution {
  int pixelsPerInch;
  int formWidth;       // ScaleForDpi(770)
  int formHeight;      // 540 at the resolution
  int picturePercent;  // the pictures drawn for it: 100, 150 or 200 % of their size
};

struct Placed {
  int id;
  const char* name;
  RECT rect;
};

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

void ExpectLoadedAt(const Resolution& resolution) {
  SCOPED_TRACE(std::to_string(resolution.pixelsPerInch) + " pixels per inch");
  ScreenResolution screen(static_cast<DWORD>(resolution.pixelsPerInch));
  ASSERT_TRUE(screen.Set());
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(program.Scan(L"(1)"));  // the count label shows beside the title
  HWND window = program.Window();

  RECT bounds, client;
  GetWindowRect(window, &bounds);
  GetClientRect(window, &client);
  EXPECT_EQ(bounds.right - bounds.left, resolution.formWidth)
      << "the window was not widened for the resolution: did the program see it?";
  // The system keeps a window within about its screen's height, which 1080 is more than the
  // test's screen holds.
  const int formHeight = bounds.bottom - bounds.top;
  EXPECT_TRUE(formHeight == resolution.formHeight ||
              (resolution.formHeight > GetSystemMetrics(SM_CYSCREEN) &&
               formHeight >= GetSystemMetrics(SM_CYSCREEN)))
      << "expected the window " << resolution.formHeight << " high, saw " << formHeight;

  auto rule = [&](int described) { return MulDiv(described, resolution.pixelsPerInch, 96); };
  auto text = [&](const wchar_t* face, int height, bool bold, int id) {
    return TextSize(face, rule(height), bold, program.Text(id));
  };
  const SIZE title = text(L"Segoe UI", 16, true, LabelTitle),
             count = text(L"Segoe UI", 13, false, LabelNbKB),
             copyright = text(L"Segoe UI", 13, false, LabelCopyR),
             version = text(L"Verdana", 8, false, LabelVersion),
             filter = text(L"Segoe UI", 11, false, LabelFiltre),
             home = text(L"Segoe UI", 11, false, ASLink);

  const int width = client.right, height = client.bottom;
  const int margin = rule(10), editWidth = rule(136);
  const int buttonWidth = rule(100), buttonHeight = rule(35), buttonTop = height - rule(45);
  const int search = margin - rule(1), copy = search + buttonWidth + rule(10),
            link = copy + buttonWidth + rule(10);
  const int logo = 48 * resolution.picturePercent / 100;
  const std::vector<Placed> expected = {
      {TopPanel, "TopPanel", Sized(0, 0, width, rule(20))},
      {ImgLogo, "ImgLogo", Sized(margin, rule(25), logo, logo)},
      {LabelTitle, "LabelTitle", Sized(rule(70), rule(30), title.cx, title.cy)},
      {LabelNbKB, "LabelNbKB", Sized(rule(70) + title.cx + rule(10), rule(33), count.cx, count.cy)},
      {LabelCopyR, "LabelCopyR", Sized(rule(70), rule(54), copyright.cx, copyright.cy)},
      {LabelVersion, "LabelVersion",
       Sized(rule(70) + copyright.cx - version.cx, rule(39), version.cx, version.cy)},
      // Right-aligned with the list even where the caption is wider than the box below it.
      {LabelFiltre, "LabelFiltre",
       Sized(width - margin - std::max<int>(editWidth, filter.cx), rule(30), filter.cx, filter.cy)},
      {EditSearch, "EditSearch", Sized(width - margin - editWidth, rule(45), editWidth, rule(25))},
      {vst, "vst", RECT{margin, rule(80), width - margin, buttonTop - rule(10)}},
      {BtnSearch, "BtnSearch", Sized(search, buttonTop, buttonWidth, buttonHeight)},
      {BtnCopy, "BtnCopy", Sized(copy, buttonTop, buttonWidth, buttonHeight)},
      {BtnLinkWeb, "BtnLinkWeb", Sized(link, buttonTop, buttonWidth, buttonHeight)},
      {BtnClose, "BtnClose",
       Sized(width - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight)},
      // The link's shadow adds a pixel each way.
      {ASLink, "ASLink",
       Sized(link + buttonWidth + rule(10), height - rule(25), home.cx + 1, home.cy + 1)},
  };
  std::vector<Placed> seen;
  for (const Placed& control : expected) {
    seen.push_back({control.id, control.name, RectIn(program.Control(control.id), window)});
    EXPECT_TRUE(EqualRect(&seen.back().rect, &control.rect))
        << control.name << ": expected " << Describe(control.rect) << ", saw "
        << Describe(seen.back().rect);
    EXPECT_TRUE(Inside(seen.back().rect, client))
        << control.name << " " << Describe(seen.back().rect) << " is cut by the window's edge";
  }
  // No two controls share a pixel: no label runs into another, the search box or the list.
  for (size_t i = 0; i < seen.size(); ++i) {
    for (size_t j = i + 1; j < seen.size(); ++j) {
      RECT common;
      EXPECT_FALSE(IntersectRect(&common, &seen[i].rect, &seen[j].rect))
          << seen[i].name << " " << Describe(seen[i].rect) << " overlaps " << seen[j].name << " "
          << Describe(seen[j].rect);
    }
  }
  // A button's caption fits beside its picture (the picture's margin on its left).
  for (const int id : {BtnSearch, BtnCopy, BtnLinkWeb, BtnClose}) {
    const SIZE caption = TextSize(L"Segoe UI", rule(13), false, program.Text(id));
    const int picture = id == BtnClose ? 0 : 16 * resolution.picturePercent / 100 + rule(6);
    EXPECT_LE(caption.cx + picture, buttonWidth) << Narrow(program.Text(id));
    EXPECT_LE(caption.cy, buttonHeight) << Narrow(program.Text(id));
  }
  // The list's header and rows as described, at the resolution.
  HWND header = reinterpret_cast<HWND>(SendMessageW(program.List(), LVM_GETHEADER, 0, 0));
  const RECT headerRect = RectIn(header, program.List());
  EXPECT_EQ(headerRect.bottom - headerRect.top, rule(25));
  const RECT row = ItemRectOnScreen(program.List(), 0);
  EXPECT_EQ(row.bottom - row.top, rule(20));
  EXPECT_EQ(program.Quit(), 0);
}

TEST(HighDpi, EveryControlFollowsTheResolutionAndNothingIsCut) {
  for (const Resolution& resolution :
       {Resolution{96, 770, 540, 100}, Resolution{120, 946, 675, 100},
        Resolution{144, 1139, 810, 150}, Resolution{192, 1524, 1080, 200}}) {
    ExpectLoadedAt(resolution);
  }
}

}  // namespace
