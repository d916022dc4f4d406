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
  SortKeyComparer(TMainForm& form, TColumnIndex column, SortKeyCache* cache)
      : form_(form), column_(column), cache_(cache) {
    if (column_ == 1) {
      try {
        reading_ = ReadDateReading(form_);
      } catch (...) {
        reading_.reset();  // no row's date reads: every comparison stays equal
      }
    }
    const auto count = static_cast<std::size_t>(form_.vst.RootNodeCount());
    nodes_.reserve(count);
    records_.reserve(count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
      nodes_.push_back(form_.vst.NodeAt(i));
      records_.push_back(RecordOf(form_.vst, nodes_.back()));
    }
    if (TakeCachedKeys()) return;
    for (std::size_t i = 0; i < count; ++i) {
      const auto position = static_cast<std::uint32_t>(i);
      switch (column_) {
        case 0:
          numbers_.push_back(DeriveNumber(nodes_[i], position));
          break;
        case 1:
          dates_.push_back(DeriveDate(nodes_[i], position));
          break;
        default:
          texts_.push_back(DeriveText(nodes_[i]));
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
        sortedNumbers_ = SortKeys(numbers_, descending, order);
        return true;
      case 1:
        sortedDates_ = SortKeys(dates_, descending, order);
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
        textOrder_ = order;
        return true;
      }
    }
  }

  // The keys go to the cache in the rows' new order, each at its new position.
  void OrderApplied(std::uint64_t revision) override {
    if (!cache_) return;
    *cache_ = SortKeyCache{};
    cache_->records.reserve(records_.size());
    switch (column_) {
      case 0:
        for (const auto& key : sortedNumbers_) cache_->records.push_back(records_[key.position]);
        cache_->numbers = Renumbered(std::move(sortedNumbers_));
        break;
      case 1:
        for (const auto& key : sortedDates_) cache_->records.push_back(records_[key.position]);
        cache_->dates = Renumbered(std::move(sortedDates_));
        break;
      default:
        cache_->texts.reserve(textOrder_.size());
        for (std::uint32_t from : textOrder_) {
          cache_->records.push_back(records_[from]);
          cache_->texts.push_back(std::move(texts_[from]));
        }
        break;
    }
    // Nothing here is valid any more: a comparison from now on derives its keys afresh.
    nodes_.clear();
    cache_->list = &form_.vst;
    cache_->revision = revision;
    cache_->column = column_;
    cache_->locale = &form_.Ports().locale;
    cache_->reading = reading_;
    cache_->valid = true;
  }

 private:
  // Sorts a copy, so that Compare keeps finding each key at its node's first position, and
  // returns it.
  template <typename Value>
  static std::vector<RowKey<Value>> SortKeys(std::vector<RowKey<Value>> keys, bool descending,
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
    return keys;
  }

  template <typename Value>
  static std::vector<RowKey<Value>> Renumbered(std::vector<RowKey<Value>> keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i].position = static_cast<std::uint32_t>(i);
    return keys;
  }

  // Takes the cache's keys when they were derived from these rows, in this order, the same
  // way; the cache is left empty either way, since a sort that fails must not leave it behind.
  bool TakeCachedKeys() {
    if (!cache_) return false;
    SortKeyCache cached = std::move(*cache_);
    *cache_ = SortKeyCache{};
    // The revision says the rows are the same nodes in the same order; the records say each
    // node still holds what it held then (a slot may be filled after the node was sorted in).
    const bool current = cached.valid && cached.list == &form_.vst &&
                         cached.revision == form_.vst.Revision() && cached.column == column_ &&
                         cached.locale == &form_.Ports().locale && cached.records == records_;
    if (!current) return false;
    switch (column_) {
      case 0:
        if (cached.numbers.size() != nodes_.size()) return false;
        numbers_ = std::move(cached.numbers);
        return true;
      case 1:
        if (cached.reading != reading_ || cached.dates.size() != nodes_.size()) return false;
        dates_ = std::move(cached.dates);
        return true;
      default:
        if (cached.texts.size() != nodes_.size()) return false;
        texts_ = std::move(cached.texts);
        return true;
    }
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
  SortKeyCache* cache_;  // may be null
  std::optional<DateReading> reading_;
  std::vector<PVirtualNode> nodes_;             // by position
  std::vector<const TTreeDataClass*> records_;  // what each node held when the keys were derived
  std::vector<RowKey<std::int32_t>> numbers_;
  std::vector<RowKey<DateTime>> dates_;
  std::vector<TextSortKey> texts_;
  // What SortedPositions produced, for OrderApplied.
  std::vector<RowKey<std::int32_t>> sortedNumbers_;
  std::vector<RowKey<DateTime>> sortedDates_;
  std::vector<std::uint32_t> textOrder_;
};

}  // namespace

std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column,
                                               SortKeyCache* cache) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(form, column, cache);
}
