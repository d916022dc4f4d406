#include "list/sort_keys.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "inventory/date_text.h"
#include "inventory/kb_rules.h"
#include "list/merge_order.h"


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
    count_ = count;
    revision_ = form_.vst.Revision();
    records_.reserve(count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
      records_.push_back(RecordOf(form_.vst, form_.vst.NodeAt(i)));
    }
    if (TakeCachedKeys()) return;
    // Room for every key at once: growing row by row would copy them again and again.
    numbers_.reserve(column_ == 0 ? count : 0);
    dates_.reserve(column_ == 1 ? count : 0);
    texts_.reserve(column_ >= 2 ? count : 0);
    for (std::size_t i = 0; i < count; ++i) {
      const auto position = static_cast<std::uint32_t>(i);
      switch (column_) {
        case 0:
          numbers_.push_back(DeriveNumber(records_[i], position));
          break;
        case 1:
          dates_.push_back(DeriveDate(records_[i], position));
          break;
        default:
          texts_.push_back(DeriveText(records_[i]));
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
        keysByPosition_ = false;  // sorted in place: a later comparison derives its keys
        SortKeys(numbers_, descending, order);
        return true;
      case 1:
        keysByPosition_ = false;
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
        for (const auto& key : numbers_) cache_->records.push_back(records_[key.position]);
        cache_->numbers = Renumbered(std::move(numbers_));
        break;
      case 1:
        for (const auto& key : dates_) cache_->records.push_back(records_[key.position]);
        cache_->dates = Renumbered(std::move(dates_));
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
    keysByPosition_ = false;
    cache_->list = &form_.vst;
    cache_->revision = revision;
    cache_->column = column_;
    cache_->locale = &form_.Ports().locale;
    cache_->reading = reading_;
    cache_->valid = true;
  }

 private:
  // Sorts the keys themselves; `order` gets their positions in the new order.
  template <typename Value>
  static void SortKeys(std::vector<RowKey<Value>>& keys, bool descending,
                       std::vector<std::uint32_t>& order) {
    const bool allUsable =
        std::all_of(keys.begin(), keys.end(), [](const RowKey<Value>& key) { return key.usable; });
    if (allUsable) {
      StableSortUsable(keys, descending);
    } else {
      // A lambda rather than the function itself, so that the comparison is inlined.
      MergeSortItems(
          keys, [](const RowKey<Value>& a, const RowKey<Value>& b) { return CompareKeys(a, b); },
          descending);
    }
    order.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].position;
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
    if (!current) {
      // Keys no longer valid still lend their memory, already in use by this program, to the
      // keys about to be derived: 100,000 of them fill megabytes that would be new pages.
      numbers_ = std::move(cached.numbers);
      dates_ = std::move(cached.dates);
      numbers_.clear();
      dates_.clear();
      return false;
    }
    switch (column_) {
      case 0:
        if (cached.numbers.size() != count_) return false;
        numbers_ = std::move(cached.numbers);
        return true;
      case 1:
        if (cached.reading != reading_ || cached.dates.size() != count_) return false;
        dates_ = std::move(cached.dates);
        return true;
      default:
        if (cached.texts.size() != count_) return false;
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

  RowKey<std::int32_t> DeriveNumber(const TTreeDataClass* record, std::uint32_t position) {
    RowKey<std::int32_t> key;
    key.position = position;
    if (!record) return key;
    try {
      key.value = KbNumber(record->HotFixID);
      key.usable = true;
    } catch (...) {
    }
    return key;
  }

  RowKey<DateTime> DeriveDate(const TTreeDataClass* record, std::uint32_t position) {
    RowKey<DateTime> key;
    key.position = position;
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

  TextSortKey DeriveText(const TTreeDataClass* record) {
    TextSortKey key;
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
  // moved since, one it never held, or one given another record gets its key derived on the spot.
  bool AtItsPosition(PVirtualNode node) {
    if (!keysByPosition_ || form_.vst.Revision() != revision_ || !node || node->index < 0) {
      return false;
    }
    const auto position = static_cast<std::size_t>(node->index);
    return position < count_ && form_.vst.NodeAt(node->index) == node &&
           RecordOf(form_.vst, node) == records_[position];
  }
  RowKey<std::int32_t> NumberAt(PVirtualNode node) {
    return AtItsPosition(node) && !numbers_.empty()
               ? numbers_[static_cast<std::size_t>(node->index)]
               : DeriveNumber(RecordOf(form_.vst, node), 0);
  }
  RowKey<DateTime> DateAt(PVirtualNode node) {
    return AtItsPosition(node) && !dates_.empty() ? dates_[static_cast<std::size_t>(node->index)]
                                                  : DeriveDate(RecordOf(form_.vst, node), 0);
  }
  TextSortKey TextAt(PVirtualNode node) {
    return AtItsPosition(node) && !texts_.empty() ? texts_[static_cast<std::size_t>(node->index)]
                                                  : DeriveText(RecordOf(form_.vst, node));
  }

  TMainForm& form_;
  TColumnIndex column_;
  SortKeyCache* cache_;  // may be null
  std::optional<DateReading> reading_;
  std::size_t count_ = 0;       // rows when the comparer was made
  std::uint64_t revision_ = 0;  // the list's revision then: same nodes, same order
  bool keysByPosition_ = true;  // the keys below are still each row's, by its position then
  std::vector<const TTreeDataClass*> records_;  // what each node held when the keys were derived
  std::vector<RowKey<std::int32_t>> numbers_;
  std::vector<RowKey<DateTime>> dates_;
  std::vector<TextSortKey> texts_;
  std::vector<std::uint32_t> textOrder_;  // what SortedPositions gave, for OrderApplied
};

}  // namespace

std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column,
                                               SortKeyCache* cache) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(form, column, cache);
}
