#pragma once
// One installed update as the list shows it: four texts in the system's 8-bit code page and
// the search mark. The row that holds it owns it (see list/virtual_string_tree.h).
#include <cstddef>
#include <cstdint>

#include "inventory/record_blocks.h"
#include "inventory/record_text.h"

class TTreeDataClass {
 public:
  RecordText Description;
  RecordText HotFixID;
  RecordText InstalledBy;
  RecordText InstalledOn;       // already the display text of the date
  std::uint8_t MatchState = 0;  // 1 when the row matches the search text

  static void* operator new(std::size_t size) {
    static_assert(alignof(TTreeDataClass) <= kRecordAlignment);
    return AllocateRecord(size);
  }
  static void operator delete(void* record, std::size_t size) noexcept { FreeRecord(record, size); }
};
