#include "list/search_index.h"

#include <algorithm>
#include <functional>

#include "inventory/kb_rules.h"
#include "list/sort_keys.h"

std::string SearchText(LocaleText& locale, const TTreeDataClass& record, TColumnIndex column) {
  switch (column) {
    case 0:
      return locale.UpperCase(StripKbPrefix(record.HotFixID));
    case 1:
      return locale.UpperCase(record.InstalledOn);
    case 2:
      return locale.UpperCase(record.Description);
    case 3:
      return locale.UpperCase(record.InstalledBy);
    default:
      return {};
  }
}

void SearchIndex::Refresh(TVirtualStringTree& list, TColumnIndex column, LocaleText& locale) {
  if (valid_ && list_ == &list && revision_ == list.Revision() && column_ == column &&
      locale_ == &locale && StillHoldTheirRecords(list)) {
    return;
  }
  valid_ = false;
  try {
    Rebuild(list, column, locale);
  } catch (...) {  // whatever failed goes on to the caller, the index left empty
    nodes_.clear();
    records_.clear();
    texts_.clear();
    ends_.clear();
    byAddress_.clear();
    throw;
  }
  valid_ = true;
  list_ = &list;
  revision_ = list.Revision();
  column_ = column;
  locale_ = &locale;
}

// The revision says the rows are the same nodes in the same order; a slot may still have been
// given another record since (the list does not see its slots written).
// The nodes are checked in address order: in display order, after a sort, every node read would
// land somewhere else in memory, and the check would cost as much as the search itself.
bool SearchIndex::StillHoldTheirRecords(TVirtualStringTree& list) const {
  for (const auto& [node, record] : byAddress_) {
    if (RecordOf(list, node) != record) return false;
  }
  return true;
}

void SearchIndex::Rebuild(TVirtualStringTree& list, TColumnIndex column, LocaleText& locale) {
  const auto count = static_cast<std::size_t>(list.RootNodeCount());
  nodes_.clear();
  records_.clear();
  texts_.clear();
  ends_.clear();
  nodes_.reserve(count);
  records_.reserve(count);
  ends_.reserve(count);
  byAddress_.clear();
  byAddress_.reserve(count);
  for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
    TTreeDataClass* record = RecordOf(list, node);
    if (record) texts_ += SearchText(locale, *record, column);
    nodes_.push_back(node);
    records_.push_back(record);
    ends_.push_back(texts_.size());
    byAddress_.emplace_back(node, record);
  }
  std::sort(byAddress_.begin(), byAddress_.end(), [](const auto& a, const auto& b) {
    return std::less<PVirtualNode>()(a.first, b.first);
  });
}
