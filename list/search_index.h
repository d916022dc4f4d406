#pragma once
// What the search box compares: each row's text in one column, upper-cased, in display order.
// Upper-casing 100,000 texts costs far more than comparing their prefixes, and the texts only
// change when rows are added, deleted or reordered, so they are kept until the list's
// revision, a row's record, the column or the locale changes.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Systeme/locale_text.h"
#include "list/virtual_string_tree.h"

class SearchIndex {
 public:
  // Makes the index match the list as it stands, searched by `column` (0 to 3; any other
  // column gives rows with empty texts). Raises whatever the locale port raises, and is then
  // left empty so that the next call starts afresh.
  void Refresh(TVirtualStringTree& list, TColumnIndex column, LocaleText& locale);

  std::size_t Count() const { return nodes_.size(); }
  PVirtualNode Node(std::size_t row) const { return nodes_[row]; }
  TTreeDataClass* Record(std::size_t row) const { return records_[row]; }  // may be null
  std::string_view Text(std::size_t row) const {
    const std::size_t begin = row == 0 ? 0 : ends_[row - 1];
    return std::string_view(texts_).substr(begin, ends_[row] - begin);
  }

 private:
  void Rebuild(TVirtualStringTree& list, TColumnIndex column, LocaleText& locale);
  bool StillHoldTheirRecords(TVirtualStringTree& list) const;

  bool valid_ = false;
  const TVirtualStringTree* list_ = nullptr;
  std::uint64_t revision_ = 0;
  TColumnIndex column_ = NoColumn;
  const LocaleText* locale_ = nullptr;
  std::vector<PVirtualNode> nodes_;
  std::vector<TTreeDataClass*> records_;
  std::string texts_;              // every row's text, one after the other
  std::vector<std::size_t> ends_;  // where each row's text ends in texts_
  std::vector<std::pair<PVirtualNode, TTreeDataClass*>> byAddress_;  // for the record check
};

// The text a record is searched by in `column`, upper-cased; empty for any other column.
std::string SearchText(LocaleText& locale, const TTreeDataClass& record, TColumnIndex column);
