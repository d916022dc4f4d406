#pragma once
// Small value types shared by the list model, its handlers and the views.
#include <cstdint>

enum TSortDirection : std::uint8_t { sdAscending = 0, sdDescending = 1 };

// The settings file keeps the direction as a flag: true for ascending.
constexpr bool AscendingFlag(TSortDirection direction) {
  return direction == sdAscending;
}
constexpr TSortDirection DirectionFromFlag(bool ascending) {
  return ascending ? sdAscending : sdDescending;
}

// A column's index, its identity; -1 means no column.
using TColumnIndex = int;
constexpr TColumnIndex NoColumn = -1;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state of a key press or mouse click.
struct TShiftState {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
  bool leftButton = false;
  bool rightButton = false;
  bool middleButton = false;
  bool doubleClick = false;  // ssDouble
};

// Colours hold blue, green and red in bytes 2, 1 and 0 (0xFF0000 is pure blue), as COLORREF.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;  // 8421504
