#pragma once
// The clipboard as Windows gives it: plain text (CF_TEXT) in the system's code page.
#include <windows.h>

#include <functional>
#include <memory>

#include "list/clipboard.h"

// `owner` names the window that will own the clipboard's content; it is asked at each write,
// because the main window exists only once start-up has created it. A null owner leaves the
// content without owner, which Windows refuses: give one.
std::unique_ptr<Clipboard> MakeWindowsClipboard(std::function<HWND()> owner);
