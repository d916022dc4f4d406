#pragma once
// The text that "Copier" puts on the clipboard: every row on one line, its four texts padded to
// their column's widest text and joined by the separator, each line ended by CR LF.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "inventory/hotfix_record.h"

// The row's text in column 0 to 3: HotFixID, InstalledOn, Description, InstalledBy.
const RecordText& ColumnText(const TTreeDataClass& record, int column);

// The text with blanks appended up to `width` characters; never cut. A width of 0 or less
// leaves it unchanged.
std::string PadRight(std::string text, int width);

// The greatest length of each column's text over the rows; all 0 without rows.
std::array<int, 4> MeasureTextWidths(const std::vector<const TTreeDataClass*>& rows);

// The longest copy text built. A real list makes well under 100 MB (100,000 rows of 200
// characters make 20 MB); a text beyond this comes from one huge text padding every line, or a
// huge separator, and would exhaust memory once the clipboard has made its own copies of it.
inline constexpr std::uint64_t kMaxCopyTextBytes = 256ull << 20;

// The separator between columns: `text` (DEFCHAR) repeated `count` (NBRCHAR) times; empty for
// a count of 0 or less. Raises EFixtallyError when it would be longer than kMaxCopyTextBytes.
std::string CopySeparator(const std::string& text, std::int32_t count);

// The whole copy text, in the order of `rows`, built in one buffer sized in advance.
// Raises EFixtallyError, before building anything, when it would be longer than `maxBytes`
// or could not fit in memory at all. Tests give a small `maxBytes`.
std::string BuildCopyText(const std::vector<const TTreeDataClass*>& rows,
                          const std::array<int, 4>& widths, const std::string& separator,
                          std::uint64_t maxBytes = kMaxCopyTextBytes);
