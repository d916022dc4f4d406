#pragma once
// The window's own small controls: the hyperlink label, the logo picture, the top strip, and
// push buttons that never take the keyboard focus.
#include <windows.h>

#include <functional>
#include <string>

void RegisterCustomControls(HINSTANCE instance);

// Hyperlink label: transparent, its text drawn twice (a highlight shadow, then the font colour
// one pixel right and down), a hand cursor, blue under the pointer. A click reaches the parent
// as WM_COMMAND with STN_CLICKED.
HWND CreateLinkLabel(HWND parent, int id, int left, int top, const std::wstring& text);
void SetLinkLabelColor(HWND label, COLORREF color);
// The hand shown over the link, made for the link's resolution; not owned (null: the program's
// hand cursor at the system's size).
void SetLinkLabelCursor(HWND label, HCURSOR cursor);

// Picture drawn transparent: the colour of its bottom-left pixel is not drawn.
HWND CreatePicture(HWND parent, int id, int left, int top, int width, int height,
                   const char* bitmapResource);
// Another bitmap resource for the picture (another resolution's); the old one goes.
void SetPictureBitmap(HWND picture, const char* bitmapResource);

// A strip that paints its own colour and reports mouse presses (true for the left button).
HWND CreatePanel(HWND parent, int id, int left, int top, int width, int height,
                 std::function<void(bool leftButton)> onMouseDown);
void SetPanelColor(HWND panel, COLORREF color);

void MakeButtonWithoutFocus(HWND button);
