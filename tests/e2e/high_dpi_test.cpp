// The window built on screens of other resolutions: the window font follows the resolution,
// everything described in pixels (positions, sizes, fonts of their own) follows the window
// font's new text height over 17, and the layout's own margins stay as they are.
#include <gtest/gtest.h>

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
  int formWidth;  // ScaleForDpi(770)
};

struct Placed {
  int id;
  const char* name;
  RECT rect;
};

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
  EXPECT_EQ(bounds.bottom - bounds.top, 540) << "loading leaves the window's height alone";

  // The window font follows the resolution; away from 96 pixels per inch, what the window
  // describes in pixels, fonts of their own included, follows that font's new text height over
  // 17. At 96 the description holds as it is, whatever the font's height there.
  const int textHeight =
      TextSize(L"Segoe UI", MulDiv(13, resolution.pixelsPerInch, 96), false, L"").cy;
  const bool scaled = resolution.pixelsPerInch != 96 && textHeight != 17;
  auto rule = [textHeight, scaled](int described) {
    return scaled ? MulDiv(described, textHeight, 17) : described;
  };
  auto text = [&](const wchar_t* face, int height, bool bold, int id) {
    return TextSize(face, rule(height), bold, program.Text(id));
  };
  const SIZE title = text(L"Segoe UI", 16, true, LabelTitle),
             count = text(L"Segoe UI", 13, false, LabelNbKB),
             copyright = text(L"Segoe UI", 13, false, LabelCopyR),
             version = text(L"Verdana", 8, false, LabelVersion),
             filter = text(L"Segoe UI", 11, false, LabelFiltre),
             home = text(L"Segoe UI", 11, false, ASLink);

  // The layout then places them from the client size with margins that stay in pixels.
  const int width = client.right, height = client.bottom;
  const int margin = rule(10), editWidth = rule(136);
  const int buttonWidth = rule(100), buttonHeight = rule(35), buttonTop = height - 45;
  const int search = margin - 1, copy = search + buttonWidth + 10, link = copy + buttonWidth + 10;
  const std::vector<Placed> expected = {
      {TopPanel, "TopPanel", Sized(0, 0, width, rule(20))},
      {ImgLogo, "ImgLogo", Sized(margin, rule(25), 48, 48)},  // sized to its 48 x 48 picture
      {LabelTitle, "LabelTitle", Sized(70, rule(30), title.cx, title.cy)},
      {LabelNbKB, "LabelNbKB", Sized(70 + title.cx + 10, rule(33), count.cx, count.cy)},
      {LabelCopyR, "LabelCopyR", Sized(70, rule(54), copyright.cx, copyright.cy)},
      {LabelVersion, "LabelVersion",
       Sized(70 + copyright.cx - version.cx, rule(39), version.cx, version.cy)},
      {LabelFiltre, "LabelFiltre",
       Sized(width - margin - editWidth, rule(30), filter.cx, filter.cy)},
      {EditSearch, "EditSearch", Sized(width - margin - editWidth, rule(45), editWidth, rule(25))},
      {vst, "vst", RECT{margin, rule(80), width - margin, buttonTop - 10}},
      {BtnSearch, "BtnSearch", Sized(search, buttonTop, buttonWidth, buttonHeight)},
      {BtnCopy, "BtnCopy", Sized(copy, buttonTop, buttonWidth, buttonHeight)},
      {BtnLinkWeb, "BtnLinkWeb", Sized(link, buttonTop, buttonWidth, buttonHeight)},
      {BtnClose, "BtnClose",
       Sized(width - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight)},
      // The link's shadow adds a pixel each way.
      {ASLink, "ASLink", Sized(link + buttonWidth + 10, height - 25, home.cx + 1, home.cy + 1)},
  };
  std::vector<Placed> seen;
  for (const Placed& control : expected) {
    seen.push_back({control.id, control.name, RectIn(program.Control(control.id), window)});
    EXPECT_TRUE(EqualRect(&seen.back().rect, &control.rect))
        << control.name << ": expected " << Describe(control.rect) << ", saw "
        << Describe(seen.back().rect) << " (text height " << textHeight << ")";
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
  EXPECT_EQ(program.Quit(), 0);
}

TEST(HighDpi, ControlsFollowTheWindowFontsTextHeightAndNoLabelOverlapsAnother) {
  for (const Resolution& resolution :
       {Resolution{96, 770}, Resolution{120, 946}, Resolution{144, 1139}}) {
    ExpectLoadedAt(resolution);
  }
}

}  // namespace
