// The list's context menu as Windows builds it from the window's table: each item's text, its
// grey state and the bold default, read back from the real popup menu while it is open, and the
// command its choice returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_ports_win32.h"
#include "app/window_commands.h"

namespace {

struct MenuWatch {
  std::vector<std::wstring> items;  // "text", "text*" the default, "text(grey)", "-"
  std::vector<UINT> keys;           // pressed in the open menu, then it is closed
};

// Runs beside the menu's own loop: waits for this process's popup menu, reads it, then presses
// the keys or closes it.
DWORD WINAPI WatchMenu(void* parameter) {
  auto& watch = *static_cast<MenuWatch*>(parameter);
  HWND popup = nullptr;
  for (int i = 0; i < 500 && popup == nullptr; ++i) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32768", nullptr)) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(window)) popup = window;
    }
    if (popup == nullptr) Sleep(10);
  }
  if (popup == nullptr) return 1;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      watch.items.push_back(L"-");
      continue;
    }
    std::wstring item = text;
    if (info.fState & MFS_DEFAULT) item += L"*";
    if (info.fState & MFS_GRAYED) item += L"(grey)";
    watch.items.push_back(item);
  }
  for (UINT key : watch.keys) PostMessageW(popup, WM_KEYDOWN, key, 0);
  // What EndMenu does: the menu's loop ends on this message.
  if (watch.keys.empty()) PostMessageW(popup, WM_CANCELMODE, 0, 0);
  return 0;
}

struct Shown {
  std::vector<std::wstring> items;
  WindowCommand chosen;
};

Shown Show(const ContextMenuState& state, std::vector<UINT> keys = {}) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(owner);
  CommandPortsWin32 ports([owner] { return owner; }, [] { return HWND{}; });
  MenuWatch watch{{}, std::move(keys)};
  HANDLE thread = CreateThread(nullptr, 0, WatchMenu, &watch, 0, nullptr);
  const WindowCommand chosen = ports.ShowContextMenu(ListContextMenu(state), 20, 20);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  DestroyWindow(owner);
  return {watch.items, chosen};
}

TEST(ContextMenuWin32, ItemsStatesAndTheDefaultAsTheMenuHoldsThem) {
  // Each command's key after a tab, as Windows menus show it.
  const std::wstring ouvrir = L"Ouvrir la page Web\tEntr\u00e9e*",
                     ligne = L"Copier la ligne\tCtrl+C", kb = L"Copier le num\u00e9ro KB",
                     liste = L"Copier la liste\tCtrl+Maj+C", exporter = L"Exporter\u2026\tCtrl+S",
                     analyser = L"Analyser\tF5";
  struct Case {
    ContextMenuState state;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {{true, true, false}, {ouvrir, ligne, kb, L"-", liste, exporter, L"-", analyser}},
      {{false, false, false}, {liste + L"(grey)", exporter + L"(grey)", L"-", analyser}},
      {{true, true, true},
       {ouvrir + L"(grey)", ligne + L"(grey)", kb + L"(grey)", L"-", liste + L"(grey)",
        exporter + L"(grey)", L"-", analyser + L"(grey)"}},
  };
  for (const Case& c : cases) {
    const Shown shown = Show(c.state);
    EXPECT_EQ(shown.items, c.expected) << "onRow " << c.state.onRow << " busy " << c.state.busy;
    EXPECT_EQ(shown.chosen, WindowCommand::None) << "closed without a choice";
  }
}

TEST(ContextMenuWin32, TheItemChosenGivesItsCommand) {
  // Down twice from no selection: the second item.
  const Shown shown = Show({true, true, false}, {VK_DOWN, VK_DOWN, VK_RETURN});
  EXPECT_EQ(shown.chosen, WindowCommand::CopyRow);
}

}  // namespace
