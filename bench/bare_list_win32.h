#pragma once
// The window timings' baseline: the least any program pays the list view and Wine (or Windows)
// to show the same rows. A plain window holding a bare owner-data SysListView32 of the same
// size, font, row height and four columns as the list it copies; its rows are four texts each,
// read from the same source, with no record, no date reading and no colours. The caller times
// each step. Windows build only.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Systeme/unique_handle_win32.h"
#include "inventory/hotfix_source.h"

class BareList {
 public:
  // A top-level window at `position` (screen coordinates) whose list copies the look of
  // `model`, a report list view: its size, font, row height, extended styles, column texts and
  // widths. The window stays shown until the object goes; `model` must outlive it (its font is
  // shared).
  BareList(HWND model, POINT position);
  ~BareList();
  BareList(const BareList&) = delete;
  BareList& operator=(const BareList&) = delete;

  bool Created() const { return list_ != nullptr; }
  HWND List() const { return list_; }

  // Reads every object of the source into four texts per row (a text that is null or not a
  // string is empty), replacing the rows, and orders them by KB number with std::stable_sort.
  void ReadRows(HotfixSource& source);
  // Tells the list view the row count (as a program must after reading rows).
  void ShowRowCount();
  // Derives each row's key for every column, for the re-orders to use: the KB number for
  // column 0, the rank of the text among the column's distinct texts for the others. Not part
  // of any timing.
  void DeriveKeys();
  // Re-orders the rows by the column's key with std::stable_sort, either way, and invalidates
  // the list.
  void SortBy(int column, bool descending);
  // Paints whatever is invalid now, before returning.
  void PaintNow();

  std::size_t RowCount() const { return rows_.size(); }
  // How many cell texts the list has asked for so far: a paint that shows rows asks for some.
  std::size_t TextsGiven() const { return textsGiven_; }

 private:
  using Row = std::array<std::string, 4>;
  // A row's key and its index in rows_: what a sort moves, rather than the rows' texts.
  struct Entry {
    std::uint32_t key;
    std::uint32_t row;
  };

  template <typename Before>
  void Order(int column, Before before);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void FillDisplayInfo(NMLVDISPINFOW& info) const;

  HWND window_ = nullptr;
  HWND list_ = nullptr;
  UniqueHimagelist rowHeight_;                      // sets the row height; the list shares it
  std::vector<Row> rows_;                           // in the source's order
  std::array<std::vector<std::uint32_t>, 4> keys_;  // by column, then row
  std::vector<Entry> order_;                        // the rows as shown
  mutable std::size_t textsGiven_ = 0;
};
