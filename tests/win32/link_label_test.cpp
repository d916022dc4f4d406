// The home-page link: a click is a press and a release both over it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/custom_controls_win32.h"
#include "win32_test_support.h"

namespace {

int clicks = 0;

LRESULT CALLBACK CountingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) ++clicks;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(LinkLabel, OpensOnlyOnAPressAndAReleaseOverIt) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingParent;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"FixtallyLinkLabelTest";
  RegisterClassW(&windowClass);
  RegisterCustomControls(GetModuleHandleW(nullptr));
  HWND parent = CreateWindowExW(0, L"FixtallyLinkLabelTest", L"test", WS_OVERLAPPEDWINDOW, 0, 0,
                                400, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  HWND link = CreateLinkLabel(parent, 7, 20, 20, L"www.example.fr");
  ASSERT_NE(link, nullptr);
  SetWindowPos(link, nullptr, 0, 0, 100, 14, SWP_NOMOVE | SWP_NOZORDER);
  ShowWindow(parent, SW_SHOWNORMAL);
  win32_test::PumpMessages();

  const LPARAM over = MAKELPARAM(50, 7), beside = MAKELPARAM(150, 7);
  struct Step {
    HWND target;
    UINT message;
    LPARAM point;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int expected;
  };
  const std::vector<Case> cases = {
      {"press and release over it", {{link, WM_LBUTTONDOWN, over}, {link, WM_LBUTTONUP, over}}, 1},
      {"a press elsewhere released over it",
       {{parent, WM_LBUTTONDOWN, MAKELPARAM(300, 150)}, {link, WM_LBUTTONUP, over}},
       0},
      {"a press on it released beside it",
       {{link, WM_LBUTTONDOWN, over}, {link, WM_MOUSEMOVE, beside}, {link, WM_LBUTTONUP, beside}},
       0},
      {"dragged away and back",
       {{link, WM_LBUTTONDOWN, over},
        {link, WM_MOUSEMOVE, beside},
        {link, WM_MOUSEMOVE, over},
        {link, WM_LBUTTONUP, over}},
       1},
      {"a release alone", {{link, WM_LBUTTONUP, over}}, 0},
  };
  for (const Case& c : cases) {
    clicks = 0;
    for (const Step& step : c.steps) {
      SendMessageW(step.target, step.message, step.message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                   step.point);
    }
    win32_test::PumpMessages();
    EXPECT_EQ(clicks, c.expected) << c.name;
    EXPECT_NE(GetCapture(), link) << c.name << ": the link let the pointer go";
  }
  DestroyWindow(parent);
}

}  // namespace
