#pragma once

// The size of a 96-pixels-per-inch design for a screen of another resolution:
// size × ((resolution − 2) / 96), to the nearest integer, halves to even.
int ScaleForDpi(int size, int pixelsPerInch);
