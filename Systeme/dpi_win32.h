#pragma once
// The resolution a window is shown at and the system's sizes at a resolution. What Windows added
// after XP for screens of different resolutions is looked up by name at each call, so that the
// program still loads on XP; without it the answer is the system's, which has one resolution for
// every screen (Vista to 8 when the program is aware of it, XP always).
#include <windows.h>

#include "Systeme/unique_handle_win32.h"

// The system's resolution: the screen's logical pixels per inch (96 when no screen answers).
int SystemPixelsPerInch();

// The resolution of the screen the window is shown on: GetDpiForWindow (Windows 10 1607), else
// GetDpiForMonitor of the window's monitor (8.1, shcore.dll), else the system's.
int WindowPixelsPerInch(HWND window);

// A system metric at a resolution: GetSystemMetricsForDpi (Windows 10 1607), else the system's
// metric, scaled from the system's resolution.
int SystemMetricForDpi(int index, int pixelsPerInch);

// The font tooltips use (the non-client metrics' status font) at a resolution:
// SystemParametersInfoForDpi (Windows 10 1607), else the system's, its height scaled. False when
// the system gives none.
bool StatusFontForDpi(LOGFONTW& font, int pixelsPerInch);

// An icon resource in the system's size `metric` (SM_CXICON, SM_CXSMICON) at a resolution:
// LoadIconWithScaleDown (comctl32 6, Vista), which shrinks a larger image rather than stretching
// a smaller one, else LoadImage at that size.
UniqueHicon LoadIconForDpi(HINSTANCE instance, const wchar_t* name, int metric, int pixelsPerInch);

// Asks Windows 10 1607 to scale the caption and frame of a per-monitor (v1) window with its
// screen; per-monitor v2 windows are scaled anyway. Called from the window's WM_NCCREATE;
// elsewhere it does nothing.
void EnableNonClientScaling(HWND window);
