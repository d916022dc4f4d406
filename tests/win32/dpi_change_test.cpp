// The running window told that it now shows at another resolution (WM_DPICHANGED: Windows sends
// it when the window is dragged to a screen of another scaling, or the scaling changes while it
// runs; Wine never does, so the test sends it as Windows would): it takes the rectangle the
// system suggests, makes its fonts, pictures and layout for the new resolution, and there and
// back leaves it as it was, the column widths the user set included.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ini_store_contract.h"
#include "objects_source.h"
#include "whole_window_win32.h"

namespace {

struct Seen {
  std::map<ControlId, RECT> controls;  // in the window's client area
  std::array<int, 4> columns{};
  std::map<ControlId, LONG> fontHeights;
  int rowHeight = 0;
  int headerHeight = 0;
};

RECT RectIn(HWND control, HWND window) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LONG FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

Seen Look(WholeWindow& whole) {
  Seen seen;
  HWND window = whole.Window().Handle();
  for (const ControlSpec& spec : kMainFormControls) {
    seen.controls[spec.id] = RectIn(whole.Control(spec.id), window);
  }
  for (const ControlId id : {ControlId::vst, ControlId::LabelTitle, ControlId::ASLink}) {
    seen.fontHeights[id] = FontHeight(whole.Control(id));
  }
  HWND list = whole.Control(ControlId::vst);
  for (int i = 0; i < 4; ++i) {
    seen.columns[static_cast<std::size_t>(i)] = ListView_GetColumnWidth(list, i);
  }
  RECT row{};
  row.left = LVIR_BOUNDS;
  if (ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS)) seen.rowHeight = row.bottom - row.top;
  const RECT header = RectIn(ListView_GetHeader(list), list);
  seen.headerHeight = header.bottom - header.top;
  return seen;
}

void TellResolution(WholeWindow& whole, int pixelsPerInch, RECT suggested) {
  SendMessageW(whole.Window().Handle(), WM_DPICHANGED, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
               reinterpret_cast<LPARAM>(&suggested));
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

TEST(DpiChange, TheWindowFollowsItsScreensResolutionThereAndBack) {
  ObjectsSource source(1, [](std::size_t) {
    return std::make_unique<TextObject>(
        std::map<std::string, std::string>{{"HotFixID", "KB5000001"},
                                           {"InstalledOn", "3/14/2023"},
                                           {"Description", "Update"},
                                           {"InstalledBy", ""}});
  });
  ini_contract::ScratchFolder folder;
  WholeWindow whole(source, folder.Path().string());
  ASSERT_TRUE(whole.Show());
  whole.Click(ControlId::BtnSearch);
  ASSERT_EQ(whole.Form().vst.RootNodeCount(), 1);
  HWND window = whole.Window().Handle();
  RECT start{};
  GetWindowRect(window, &start);
  ASSERT_EQ(start.right - start.left, 770) << "the test expects a screen of 96 pixels per inch";
  // The user's own width for the first column, as a divider drag leaves it.
  whole.Form().vst.ColumnWidthTracked(0, 181);
  const Seen before = Look(whole);

  const RECT larger{40, 30, 40 + 1155, 30 + 810};
  TellResolution(whole, 144, larger);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  EXPECT_TRUE(EqualRect(&bounds, &larger)) << "the suggested rectangle: " << Text(bounds);
  const Seen at144 = Look(whole);
  EXPECT_EQ(at144.fontHeights.at(ControlId::vst), -20) << "the window font, 13 at 96";
  EXPECT_EQ(at144.fontHeights.at(ControlId::LabelTitle), -24) << "16 at 96";
  EXPECT_EQ(at144.rowHeight, 30);
  EXPECT_EQ(at144.headerHeight, 38);
  EXPECT_EQ((std::array<int, 3>{at144.columns[0], at144.columns[1], at144.columns[2]}),
            (std::array<int, 3>{272, 225, 225}));
  RECT client{};
  GetClientRect(window, &client);
  const RECT& list = at144.controls.at(ControlId::vst);
  const RECT& close = at144.controls.at(ControlId::BtnClose);
  const RECT& logo = at144.controls.at(ControlId::ImgLogo);
  EXPECT_EQ(client.bottom - close.top, 68) << "the buttons' bottom margin, 45 at 96";
  EXPECT_EQ(client.right - list.right, 15) << "the list's margin, 10 at 96";
  EXPECT_EQ(logo.right - logo.left, 72) << "the logo drawn for 150 %";
  // The last column fills the list, less the scaled 4.
  EXPECT_EQ(at144.columns[3], (list.right - list.left) - 272 - 225 - 225 - 6);

  TellResolution(whole, 96, start);
  const Seen back = Look(whole);
  for (const auto& [id, rect] : before.controls) {
    EXPECT_TRUE(EqualRect(&rect, &back.controls.at(id)))
        << ControlSpecOf(id).name << ": " << Text(rect) << " before, " << Text(back.controls.at(id))
        << " after";
  }
  EXPECT_EQ(back.columns, before.columns) << "181 is 271.5 at 144: back at 96 it must be 181";
  EXPECT_EQ(back.fontHeights, before.fontHeights);
  EXPECT_EQ(back.rowHeight, before.rowHeight);
  EXPECT_EQ(back.headerHeight, before.headerHeight);
}

}  // namespace
