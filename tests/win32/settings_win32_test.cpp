// The settings and the window placement on the real system: a real window saved and restored
// through the Windows adapters, the settings file at a drive's root, and refused writes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "Systeme/errors.h"
#include "ini_store_contract.h"
#include "settings/form_placement.h"
#include "portable_ini_store.h"
#include "settings/ini_store_win32.h"
#include "settings/settings_file.h"
#include "settings/window_placement_win32.h"

namespace {

using ini_contract::FileBytes;
using ini_contract::ScratchFolder;
using ini_contract::WriteFileBytes;

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A sizeable top-level window, hidden, where the form description would put the main window.
UniqueWindow MakeMainLikeWindow() {
  return UniqueWindow(CreateWindowExW(0, L"STATIC", L"Fixtally test", WS_OVERLAPPEDWINDOW, 235, 212,
                                      770, 600, nullptr, nullptr, GetModuleHandleW(nullptr),
                                      nullptr));
}

std::string PlacementFile(const std::string& showCmd, int pixelsPerInch) {
  return "[MAINFORM]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=" + showCmd +
         "\r\nPixelsPerInch=" + std::to_string(pixelsPerInch) +
         "\r\nMinMaxPos=-1,-1,-1,-1\r\nNormPos=100,50,900,650\r\nVisible=0\r\n";
}

struct RestoredWindow {
  UniqueWindow window = MakeMainLikeWindow();
  WindowPlacementWin32 port{window.get()};
  std::unique_ptr<IniStore> ini = MakeWindowsIniStore();

  void Restore(const std::string& path) {
    TFormPlacement placement(port);
    placement.IniFileName = path;
    placement.IniSection = "MAINFORM";
    placement.RestoreWindowPlacement(*ini);
  }
};

TEST(WindowPlacementWin32, RestoredNormalPlaceComesBackExactly) {
  const ScratchFolder folder;
  RestoredWindow w;
  ASSERT_NE(w.window.get(), nullptr);
  const std::string path = folder.File("Fixtally.ini");
  WriteFileBytes(path, PlacementFile("1", w.port.PixelsPerInch()));
  w.Restore(path);
  EXPECT_FALSE(IsWindowVisible(w.window.get()));  // restoring does not show the window
  EXPECT_FALSE(w.port.OpensCentred());
  w.port.ShowForFirstTime();
  RECT r{};
  GetWindowRect(w.window.get(), &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 600);

  // Saved again, the same numbers go back to the file.
  const std::string again = folder.File("again.ini");
  TFormPlacement placement(w.port);
  placement.IniFileName = again;
  placement.IniSection = "MAINFORM";
  placement.SaveWindowPlacement(*w.ini);
  EXPECT_EQ(w.ini->ReadString(again, "MAINFORM", "NormPos", ""), "100,50,900,650");
  EXPECT_EQ(w.ini->ReadString(again, "MAINFORM", "ShowCmd", ""), "1");
  const std::string suffix = "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                             std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
  EXPECT_EQ(w.ini->ReadString(again, "MAINFORM", "NormPos" + suffix, ""), "100,50,900,650");
}

TEST(WindowPlacementWin32, ShowCmd3OpensMaximized) {
  const ScratchFolder folder;
  RestoredWindow w;
  const std::string path = folder.File("Fixtally.ini");
  WriteFileBytes(path, PlacementFile("3", w.port.PixelsPerInch()));
  w.Restore(path);
  EXPECT_EQ(w.port.WindowState(), TWindowState::wsMaximized);
  ShowWindow(w.window.get(), SW_SHOW);  // what the main window does, then the pending state
  w.port.ApplyPendingState();
  EXPECT_TRUE(IsZoomed(w.window.get()));
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(w.window.get(), &placement);
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(placement.rcNormalPosition.left, 100);
  EXPECT_EQ(placement.rcNormalPosition.right, 900);
}

TEST(WindowPlacementWin32, ShowCmd2PostsTheMinimizeCommand) {
  const ScratchFolder folder;
  RestoredWindow w;
  const std::string path = folder.File("Fixtally.ini");
  WriteFileBytes(path, PlacementFile("2", w.port.PixelsPerInch()));
  w.Restore(path);
  EXPECT_EQ(w.port.WindowState(), TWindowState::wsNormal);
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, w.window.get(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(message.wParam & 0xFFF0, static_cast<WPARAM>(SC_MINIMIZE));
}

TEST(WindowPlacementWin32, OtherPixelsPerInchKeepsTheWindowCentred) {
  const ScratchFolder folder;
  RestoredWindow w;
  const std::string path = folder.File("Fixtally.ini");
  WriteFileBytes(path, PlacementFile("1", w.port.PixelsPerInch() + 48));
  w.Restore(path);
  EXPECT_TRUE(w.port.OpensCentred());
  RECT r{};
  GetWindowRect(w.window.get(), &r);
  EXPECT_EQ(r.left, 235);
  EXPECT_EQ(r.right - r.left, 770);
}

TEST(SettingsFileWin32, AtADriveRootOneBackslash) {
  const std::string path = SettingsFilePath("C:\\Fixtally.exe");
  EXPECT_EQ(path, "C:\\Fixtally.ini");
  const auto ini = MakeWindowsIniStore();
  DeleteFileA(path.c_str());
  ASSERT_TRUE(ini->WriteString(path, "OPTION", "WRITEINI", "1"));
  EXPECT_TRUE(ini->FileExists("C:\\Fixtally.ini"));
  EXPECT_EQ(ini->ReadString("C:\\Fixtally.ini", "OPTION", "WRITEINI", ""), "1");
  DeleteFileA(path.c_str());
}

// The same save through the API and through the portable store gives the same file.
TEST(SettingsFileWin32, SaveGivesTheSameBytesThroughBothStores) {
  const ScratchFolder folder;
  std::string bytes[2];
  for (int i = 0; i < 2; ++i) {
    const std::unique_ptr<IniStore> ini =
        i == 0 ? MakeWindowsIniStore() : std::unique_ptr<IniStore>(MakePortableIniStore());
    UniqueWindow window = MakeMainLikeWindow();
    WindowPlacementWin32 port(window.get());
    TFormPlacement placement(port);
    TSettings settings;
    settings.IniFileName = folder.File("store" + std::to_string(i) + ".ini");
    placement.IniFileName = settings.IniFileName;
    placement.IniSection = "MAINFORM";
    WriteFileBytes(settings.IniFileName,
                   "[OPTION]\r\nWRITEINI=1\r\n\r\n[HOST]\r\nPASSWORD=\"secret\"\r\n");
    const ListSettings list{{150, 150, 150, 200}, 0, true};
    LoadSettings(settings, *ini, placement);
    EXPECT_EQ(settings.Password, "secret");
    SaveSettings(settings, *ini, placement, list, "Copyright (c) 2026 Fixtally");
    bytes[i] = FileBytes(settings.IniFileName).value_or("");
  }
  EXPECT_EQ(bytes[0], bytes[1]);
  EXPECT_NE(bytes[0].find("[OPTION]\r\nWRITEINI=1\r\nCOLUMNSORDER=0=150,1=150,2=150,3=200\r\n"
                          "SORTCOLUMN=0\r\nSORTDIRECTION=1\r\n[HOST]\r\nPASSWORD=\"secret\"\r\n"
                          "[MAINFORM]\r\nFormVersion=0\r\n"),
            std::string::npos)
      << bytes[0];
}

// Refused writes, as Wine refuses them here: a file another handle holds without sharing
// writes, and a folder that does not exist, named with accents (code page 1252) that the
// message must carry as UTF-8.
TEST(SettingsFileWin32, RefusedWriteRaisesWithThePath) {
  const ScratchFolder folder;
  const auto ini = MakeWindowsIniStore();
  UniqueWindow window = MakeMainLikeWindow();
  WindowPlacementWin32 port(window.get());
  const ListSettings list;
  const std::string held = folder.File("held.ini");
  WriteFileBytes(held, "[OPTION]\r\nWRITEINI=1\r\n");
  const std::string missing = folder.Path().string() +
                              "\\T\xE9l\xE9"
                              "chargements\\Fixtally.ini";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {held, held},
      {missing, folder.Path().string() + "\\T\xC3\xA9l\xC3\xA9"
                                         "chargements\\Fixtally.ini"},
  };
  for (const auto& [path, shown] : cases) {
    SCOPED_TRACE(path);
    TSettings settings;
    settings.IniFileName = path;
    TFormPlacement placement(port);
    placement.IniFileName = path;
    placement.IniSection = "MAINFORM";
    settings.WriteIni = true;
    const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    try {
      SaveSettings(settings, *ini, placement, list, "c");
      ADD_FAILURE() << "no error raised";
    } catch (const EFixtallyError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Impossible d'\xC3\xA9"
                "crire dans " +
                    shown);
    }
    CloseHandle(holder);
  }
  EXPECT_EQ(*FileBytes(held), "[OPTION]\r\nWRITEINI=1\r\n");
}

}  // namespace
