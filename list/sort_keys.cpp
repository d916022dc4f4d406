#include "list/sort_keys.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "inventory/date_text.h"
#include "inventory/kb_rules.h"
#include "list/merge_order.h"

TTreeDataClass* RecordOf(TVirtualStringTree& list, PVirtualNode node) {
  RecordSlot* slot = list.NodeRecord(node);
  return slot ? slot->get() : nullptr;
}

DateReading ReadDateReading(const TMainForm& form) {
  DateReading reading;
  reading.settings = form.Ports().locale.FormatSettings();
  reading.currentYear = form.Ports().currentYear();
  return reading;
}

std::optional<DateTime> InstalledOnDate(std::string_view text, const DateReading& reading) {
  DateTime value = 0;
  if (!TryStrToDate(text, reading.settings, reading.currentYear, value)) return std::nullopt;
  return value;
}

namespace {

// One row's sort key for column 0 (number) or 1 (date). A key that could not be derived (no
// record, an unreadable date, a failed port) compares equal to every other, as vstCompareNodes
// leaves its result at 0 then.
template <typename Value>
struct RowKey {
  Value value{};
  std::uint32_t position = 0;  // the row's index when the sort began
  bool usable = false;
};

template <typename Value>
int CompareKeys(const RowKey<Value>& a, const RowKey<Value>& b) {
  return a.usable && b.usable ? CompareValues(a.value, b.value) : 0;
}

// Whether each neighbour pair is already in the order asked for (ties allowed).
template <typename Value>
bool InOrder(const std::vector<RowKey<Value>>& keys, bool descending) {
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const int order = CompareValues(keys[i - 1].value, keys[i].value);
    if (descending ? order < 0 : order > 0) return false;
  }
  return true;
}

// Sorts keys that are all usable, hence a strict weak order: then every stable sort gives the
// one order the merge would, and two common cases cost a single pass. A list already in order
// stays as it is (the header click sorts twice); a list in the opposite order (the click that
// reverses the direction) is its runs of equal keys taken from last to first, each run keeping
// its own order.
template <typename Value>
void StableSortUsable(std::vector<RowKey<Value>>& keys, bool descending) {
  if (InOrder(keys, descending)) return;
  if (InOrder(keys, !descending)) {
    std::vector<RowKey<Value>> reversed;
    reversed.reserve(keys.size());
    std::size_t end = keys.size();
    while (end > 0) {
      std::size_t begin = end - 1;
      while (begin > 0 && CompareValues(keys[begin - 1].value, keys[end - 1].value) == 0) --begin;
      reversed.insert(reversed.end(), keys.begin() + static_cast<std::ptrdiff_t>(begin),
                      keys.begin() + static_cast<std::ptrdiff_t>(end));
      end = begin;
    }
    keys.swap(reversed);
    return;
  }
  std::stable_sort(keys.begin(), keys.end(), [descending](const auto& a, const auto& b) {
    return descending ? b.value < a.value : a.value < b.value;
  });
}

class SortKeyComparer : public NodeComparer {
 public:
  SortKeyComparer(TMainForm& form, TColumnIndex column) : form_(form), column_(column) {
    if (column_ == 1) {
      try {
        reading_ = ReadDateReading(form_);
      } catch (...) {
        reading_.reset();  // no row's date reads: every comparison stays equal
      }
    }
    const auto count = static_cast<std::size_t>(form_.vst.RootNodeCount());
    nodes_.reserve(count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
      const PVirtualNode node = form_.vst.NodeAt(i);
      nodes_.push_back(node);
      const auto position = static_cast<std::uint32_t>(i);
      switch (column_) {
        case 0:
          numbers_.push_back(DeriveNumber(node, position));
          break;
        case 1:
          dates_.push_back(DeriveDate(node, position));
          break;
        default:
          texts_.push_back(DeriveText(node));
          break;
      }
    }
  }

  int Compare(PVirtualNode node1, PVirtualNode node2) override {
    switch (column_) {
      case 0:
        return CompareKeys(NumberAt(node1), NumberAt(node2));
      case 1:
        return CompareKeys(DateAt(node1), DateAt(node2));
      default:
        return CompareTexts(TextAt(node1), TextAt(node2));
    }
  }

  bool SortedPositions(TSortDirection direction, std::vector<std::uint32_t>& order) override {
    const bool descending = direction == sdDescending;
    switch (column_) {
      case 0:
        SortKeys(numbers_, descending, order);
        return true;
      case 1:
        SortKeys(dates_, descending, order);
        return true;
      default: {
        // The collation port may fail on any pair, so a text order is never assumed to be a
        // strict weak order: these go through the merge, comparing by position.
        order.resize(texts_.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
        MergeSortItems(
            order,
            [this](std::uint32_t a, std::uint32_t b) { return CompareTexts(texts_[a], texts_[b]); },
            descending);
        return true;
      }
    }
  }

 private:
  struct TextSortKey {
    std::string text;  // upper-cased
    bool usable = false;
  };

  // Sorts a copy, so that Compare keeps finding each key at its node's first position.
  template <typename Value>
  static void SortKeys(std::vector<RowKey<Value>> keys, bool descending,
                       std::vector<std::uint32_t>& order) {
    const bool allUsable =
        std::all_of(keys.begin(), keys.end(), [](const RowKey<Value>& key) { return key.usable; });
    if (allUsable) {
      StableSortUsable(keys, descending);
    } else {
      MergeSortItems(keys, CompareKeys<Value>, descending);
    }
    order.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].position;
  }

  int CompareTexts(const TextSortKey& a, const TextSortKey& b) {
    if (!a.usable || !b.usable) return 0;
    try {
      return SignOf(form_.Ports().locale.Compare(a.text, b.text));
    } catch (...) {
      return 0;
    }
  }

  RowKey<std::int32_t> DeriveNumber(PVirtualNode node, std::uint32_t position) {
    RowKey<std::int32_t> key;
    key.position = position;
    const TTreeDataClass* record = RecordOf(form_.vst, node);
    if (!record) return key;
    try {
      key.value = KbNumber(record->HotFixID);
      key.usable = true;
    } catch (...) {
    }
    return key;
  }

  RowKey<DateTime> DeriveDate(PVirtualNode node, std::uint32_t position) {
    RowKey<DateTime> key;
    key.position = position;
    const TTreeDataClass* record = RecordOf(form_.vst, node);
    if (!record || !reading_) return key;
    try {
      const std::optional<DateTime> date = InstalledOnDate(record->InstalledOn, *reading_);
      // A value that equals nothing, not even itself, would break the order's rules.
      key.usable = date.has_value() && !std::isnan(*date);
      key.value = key.usable ? *date : 0;
    } catch (...) {
    }
    return key;
  }

  TextSortKey DeriveText(PVirtualNode node) {
    TextSortKey key;
    const TTreeDataClass* record = RecordOf(form_.vst, node);
    if (!record) return key;
    try {
      key.text =
          form_.Ports().locale.UpperCase(column_ == 2 ? record->Description : record->InstalledBy);
      key.usable = true;
    } catch (...) {
    }
    return key;
  }

  // Keys are held by the position a node had when the comparer was made; a node the list has
  // moved since, or never held, gets its key derived on the spot.
  bool AtItsPosition(PVirtualNode node) const {
    return node && node->index >= 0 && static_cast<std::size_t>(node->index) < nodes_.size() &&
           nodes_[static_cast<std::size_t>(node->index)] == node;
  }
  RowKey<std::int32_t> NumberAt(PVirtualNode node) {
    return AtItsPosition(node) && !numbers_.empty()
               ? numbers_[static_cast<std::size_t>(node->index)]
               : DeriveNumber(node, 0);
  }
  RowKey<DateTime> DateAt(PVirtualNode node) {
    return AtItsPosition(node) && !dates_.empty() ? dates_[static_cast<std::size_t>(node->index)]
                                                  : DeriveDate(node, 0);
  }
  TextSortKey TextAt(PVirtualNode node) {
    return AtItsPosition(node) && !texts_.empty() ? texts_[static_cast<std::size_t>(node->index)]
                                                  : DeriveText(node);
  }

  TMainForm& form_;
  TColumnIndex column_;
  std::optional<DateReading> reading_;
  std::vector<PVirtualNode> nodes_;  // by position
  std::vector<RowKey<std::int32_t>> numbers_;
  std::vector<RowKey<DateTime>> dates_;
  std::vector<TextSortKey> texts_;
};

}  // namespace

std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(form, column);
}
