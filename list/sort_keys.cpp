#include "list/sort_keys.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "app/main_form.h"
#include "inventory/date_text.h"
#include "inventory/kb_rules.h"

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

// One row's sort key. A key that could not be derived (no record, an unreadable date, a failed
// port) compares equal to every other, as vstCompareNodes leaves its result at 0 then.
struct SortKey {
  PVirtualNode node = nullptr;
  bool usable = false;
  std::int32_t number = 0;  // column 0
  DateTime date = 0;        // column 1
  std::string text;         // columns 2 and 3, upper-cased
};

class SortKeyComparer : public NodeComparer {
 public:
  SortKeyComparer(TMainForm& form, TColumnIndex column) : form_(form), column_(column) {
    if (column_ == 1) {
      try {
        dates_ = ReadDateReading(form_);
      } catch (...) {
        dates_.reset();  // no row's date reads: every comparison stays equal
      }
    }
    keys_.reserve(static_cast<std::size_t>(form_.vst.RootNodeCount()));
    for (PVirtualNode node = form_.vst.FirstNode(); node; node = form_.vst.NextNode(node)) {
      keys_.push_back(Derive(node));
    }
  }

  int Compare(PVirtualNode node1, PVirtualNode node2) override {
    const SortKey& a = KeyOf(node1);
    const SortKey& b = KeyOf(node2);
    if (!a.usable || !b.usable) return 0;
    switch (column_) {
      case 0:
        return CompareValues(a.number, b.number);
      case 1:
        return CompareValues(a.date, b.date);
      default:
        try {
          return SignOf(form_.Ports().locale.Compare(a.text, b.text));
        } catch (...) {
          return 0;
        }
    }
  }

 private:
  SortKey Derive(PVirtualNode node) {
    SortKey key;
    key.node = node;
    const TTreeDataClass* record = RecordOf(form_.vst, node);
    if (!record) return key;
    try {
      switch (column_) {
        case 0:
          key.number = KbNumber(record->HotFixID);
          key.usable = true;
          break;
        case 1:
          if (dates_) {
            const std::optional<DateTime> date = InstalledOnDate(record->InstalledOn, *dates_);
            key.usable = date.has_value();
            key.date = date.value_or(0);
          }
          break;
        default:
          key.text = form_.Ports().locale.UpperCase(column_ == 2 ? record->Description
                                                                 : record->InstalledBy);
          key.usable = true;
          break;
      }
    } catch (...) {
      key.usable = false;
    }
    return key;
  }

  // Keys are stored in the order the sort started from; a node is found by its index, and
  // any node the list has renumbered meanwhile gets its key on first use.
  const SortKey& KeyOf(PVirtualNode node) {
    if (node && node->index >= 0 && static_cast<std::size_t>(node->index) < keys_.size() &&
        keys_[static_cast<std::size_t>(node->index)].node == node) {
      return keys_[static_cast<std::size_t>(node->index)];
    }
    auto found = lateKeys_.find(node);
    if (found == lateKeys_.end()) found = lateKeys_.emplace(node, Derive(node)).first;
    return found->second;
  }

  TMainForm& form_;
  TColumnIndex column_;
  std::optional<DateReading> dates_;
  std::vector<SortKey> keys_;
  std::unordered_map<PVirtualNode, SortKey> lateKeys_;
};

}  // namespace

std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(form, column);
}
