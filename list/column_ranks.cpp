#include "list/column_ranks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <numeric>
#include <string_view>
#include <utility>

#include "Systeme/prefetch.h"
#include "inventory/kb_rules.h"

namespace {

// Gives `rankOf[owner]` the dense rank of each value: equal values share one.
template <typename Value>
void RankValues(std::vector<std::pair<Value, std::uint32_t>>& valued,
                std::vector<std::uint32_t>& rankOf) {
  std::sort(valued.begin(), valued.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < valued.size(); ++i) {
    if (i > 0 && valued[i - 1].first < valued[i].first) ++rank;
    rankOf[valued[i].second] = rank;
  }
}

// The distinct texts of one field, each given an index in the order first met, and each row's
// index (kNoRank for a row without a record). The views point into the records.
struct DistinctTexts {
  std::vector<std::string_view> texts;
  std::vector<std::uint32_t> ofRow;
};

// Finds a text among those met so far: open addressing in a table of twice as many slots as
// texts at least, each slot the text's hash and its index plus one (0: free). A lookup per row
// that allocates nothing: a column of 100,000 different texts adds 100,000 texts, not 100,000
// map nodes.
class TextIndex {
 public:
  explicit TextIndex(std::vector<std::string_view>& texts) : texts_(texts), slots_(64) {}

  std::uint32_t IndexOf(std::string_view text) {
    const std::uint64_t hash = Hash(text);
    for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[i];
      if (slot.indexPlusOne == 0) {
        texts_.push_back(text);
        slot = {hash, static_cast<std::uint32_t>(texts_.size())};
        if (2 * texts_.size() > slots_.size()) Grow();
        return static_cast<std::uint32_t>(texts_.size() - 1);
      }
      if (slot.hash == hash && texts_[slot.indexPlusOne - 1] == text) return slot.indexPlusOne - 1;
    }
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t indexPlusOne = 0;
  };

  // Eight bytes at a time, each word mixed in by a multiply: a byte at a time, as FNV-1a goes,
  // cost more than the rest of the ranking for 100,000 short texts.
  static std::uint64_t Hash(std::string_view text) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
    const auto mix = [&hash](std::uint64_t word) {
      hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
      hash ^= hash >> 29;
    };
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + at, 8);
      mix(word);
    }
    if (at < text.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, text.data() + at, text.size() - at);
      mix(word);
    }
    return hash;
  }

  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.indexPlusOne == 0) continue;
      std::size_t i = slot.hash & (slots_.size() - 1);
      while (slots_[i].indexPlusOne != 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = slot;
    }
  }

  std::vector<std::string_view>& texts_;
  std::vector<Slot> slots_;
};

template <typename Field>
DistinctTexts Distinct(const std::vector<const TTreeDataClass*>& records, Field field,
                       std::vector<std::uint32_t> memory) {
  DistinctTexts distinct;
  distinct.ofRow = std::move(memory);
  distinct.ofRow.resize(records.size());
  TextIndex index(distinct.texts);
  // The rows come in display order, their records anywhere in memory: each is asked for a few
  // rows ahead, so that waiting for one overlaps the work on others.
  constexpr std::size_t kAhead = 8;
  for (std::size_t row = 0; row < records.size(); ++row) {
    if (row + kAhead < records.size()) PrefetchForRead(records[row + kAhead]);
    distinct.ofRow[row] = records[row] ? index.IndexOf(field(*records[row])) : kNoRank;
  }
  return distinct;
}

// Each row's rank from the rank of its distinct text, in place of the text's index.
std::vector<std::uint32_t> RowRanks(std::vector<std::uint32_t> ofRow,
                                    const std::vector<std::uint32_t>& rankOfText) {
  for (std::uint32_t& text : ofRow) text = text == kNoRank ? kNoRank : rankOfText[text];
  return ofRow;
}

ColumnOrder Ranked(std::vector<std::uint32_t> ranks) {
  ColumnOrder order;
  order.ranked = true;
  order.ranks = std::move(ranks);
  return order;
}

// Each row holding a number as one 64-bit item, the number (its sign bit flipped, so that
// unsigned order is signed order) above the row's index, sorted by the number: a radix sort, a
// byte of the number per pass, skipping the bytes all numbers share. Identifiers are mostly
// distinct, so this is the one sort of the ranking that sees every row, and it runs when a scan
// ends: with std::sort instead, the whole sort of 100,000 rows by column 0 took twice as long.
void SortByNumber(std::vector<std::uint64_t>& items) {
  std::vector<std::uint64_t> buffer(items.size());
  for (int shift = 32; shift < 64; shift += 8) {
    std::size_t next[257] = {};
    for (const std::uint64_t item : items) ++next[((item >> shift) & 0xFF) + 1];
    if (std::find(next + 1, next + 257, items.size()) != next + 257) continue;
    for (std::size_t i = 1; i < 257; ++i) next[i] += next[i - 1];
    for (const std::uint64_t item : items) buffer[next[(item >> shift) & 0xFF]++] = item;
    items.swap(buffer);
  }
}

ColumnOrder NumberOrder(const std::vector<const TTreeDataClass*>& records,
                        std::vector<std::uint32_t> ranks) {
  std::vector<std::uint64_t> items;
  items.reserve(records.size());
  for (std::size_t row = 0; row < records.size(); ++row) {
    if (!records[row]) continue;
    const auto number = static_cast<std::uint32_t>(KbNumber(records[row]->HotFixID)) ^ 0x80000000u;
    items.push_back(static_cast<std::uint64_t>(number) << 32 | row);
  }
  SortByNumber(items);
  ranks.assign(records.size(), kNoRank);
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0 && (items[i - 1] >> 32) != (items[i] >> 32)) ++rank;
    ranks[static_cast<std::uint32_t>(items[i])] = rank;
  }
  return Ranked(std::move(ranks));
}

ColumnOrder DateOrder(const std::vector<const TTreeDataClass*>& records,
                      const std::optional<DateReading>& reading,
                      std::vector<std::uint32_t> memory) {
  DistinctTexts distinct = Distinct(
      records, [](const TTreeDataClass& r) { return std::string_view(r.InstalledOn); },
      std::move(memory));
  std::vector<std::pair<DateTime, std::uint32_t>> valued;
  for (std::size_t i = 0; reading && i < distinct.texts.size(); ++i) {
    try {
      const std::optional<DateTime> date = InstalledOnDate(distinct.texts[i], *reading);
      // A value that equals nothing, not even itself, would break the order's rules.
      if (date && !std::isnan(*date)) valued.emplace_back(*date, static_cast<std::uint32_t>(i));
    } catch (const std::exception&) {
    }
  }
  std::vector<std::uint32_t> rankOfText(distinct.texts.size(), kNoRank);
  RankValues(valued, rankOfText);
  return Ranked(RowRanks(std::move(distinct.ofRow), rankOfText));
}

int CompareSafely(LocaleText& locale, std::string_view a, std::string_view b) {
  try {
    return SignOf(locale.Compare(a, b));
  } catch (const std::exception&) {
    return 0;  // as vstCompareNodes: a failed comparison leaves the two rows equal
  }
}

ColumnOrder TextOrder(TColumnIndex column, const std::vector<const TTreeDataClass*>& records,
                      LocaleText& locale, std::vector<std::uint32_t> memory) {
  DistinctTexts distinct = Distinct(
      records,
      [column](const TTreeDataClass& r) {
        return std::string_view(column == 2 ? r.Description : r.InstalledBy);
      },
      std::move(memory));
  const std::size_t count = distinct.texts.size();
  std::vector<std::string> upper(count);
  std::vector<bool> usable(count, false);
  for (std::size_t i = 0; i < count; ++i) {
    try {
      upper[i] = locale.UpperCase(distinct.texts[i]);
      usable[i] = true;
    } catch (const std::exception&) {
    }
  }

  // Every usable text's key, one after the other in one buffer.
  std::string keys;
  std::vector<std::size_t> keyStart(count + 1, 0);
  bool keyed = true;
  for (std::size_t i = 0; i < count && keyed; ++i) {
    keyStart[i] = keys.size();
    try {
      keyed = !usable[i] || locale.AppendSortKey(upper[i], keys);
    } catch (const std::exception&) {
      keyed = false;
    }
    keyStart[i + 1] = keys.size();
  }
  const auto keyOf = [&](std::uint32_t i) {
    return std::string_view(keys).substr(keyStart[i], keyStart[i + 1] - keyStart[i]);
  };

  std::vector<std::uint32_t> byKey;
  for (std::uint32_t i = 0; keyed && i < count; ++i) {
    if (usable[i]) byKey.push_back(i);
  }
  std::sort(byKey.begin(), byKey.end(),
            [&](std::uint32_t a, std::uint32_t b) { return keyOf(a) < keyOf(b); });
  std::vector<std::uint32_t> rankOfText(count, kNoRank);
  std::uint32_t rank = 0;
  for (std::size_t i = 0; keyed && i < byKey.size(); ++i) {
    if (i > 0) {
      const int byKeys = keyOf(byKey[i - 1]) < keyOf(byKey[i]) ? -1 : 0;
      keyed = CompareSafely(locale, upper[byKey[i - 1]], upper[byKey[i]]) == byKeys;
      rank += byKeys != 0 ? 1 : 0;
    }
    rankOfText[byKey[i]] = rank;
  }
  if (keyed) return Ranked(RowRanks(std::move(distinct.ofRow), rankOfText));

  ColumnOrder order;
  order.textOfRow = std::move(distinct.ofRow);
  for (std::uint32_t& text : order.textOfRow) {
    if (text != kNoRank && !usable[text]) text = kNoRank;
  }
  order.texts = std::move(upper);
  return order;
}

}  // namespace

ColumnOrder DeriveColumnOrder(TColumnIndex column,
                              const std::vector<const TTreeDataClass*>& records, LocaleText& locale,
                              const std::optional<DateReading>& reading,
                              std::vector<std::uint32_t> memory) {
  switch (column) {
    case 0:
      return NumberOrder(records, std::move(memory));
    case 1:
      return DateOrder(records, reading, std::move(memory));
    default:
      return TextOrder(column, records, locale, std::move(memory));
  }
}

int CompareRowTexts(const ColumnOrder& order, LocaleText& locale, std::size_t a, std::size_t b) {
  const std::uint32_t textA = order.textOfRow[a], textB = order.textOfRow[b];
  if (textA == kNoRank || textB == kNoRank) return 0;
  return CompareSafely(locale, order.texts[textA], order.texts[textB]);
}
