#pragma once

// The size of a 96-pixels-per-inch design for a screen of another resolution:
// size × ((resolution − 2) / 96), to the nearest integer, halves to even. The window's width
// follows it.
int ScaleForDpi(int size, int pixelsPerInch);

// A length of the window's 96-pixels-per-inch description at another resolution: size ×
// resolution / 96, to the nearest integer, halves away from zero as the system's MulDiv rounds,
// so that the portable layout and the Win32 controls agree to the pixel. Everything inside the
// window, its height and its smallest height follow it; 96 (or a resolution of 0 or less, which
// no screen has) leaves the size as it is.
int ScaleFromDesign(int size, int pixelsPerInch);
