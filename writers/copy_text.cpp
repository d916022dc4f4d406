#include "writers/copy_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "Systeme/errors.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

std::size_t PaddedLength(std::string_view text, int width) {
  return width > 0 ? std::max(text.size(), static_cast<std::size_t>(width)) : text.size();
}

void AppendPadded(std::string& out, std::string_view text, int width) {
  out.append(text);
  out.append(PaddedLength(text, width) - text.size(), ' ');
}

}  // namespace

const RecordText& ColumnText(const TTreeDataClass& record, int column) {
  switch (column) {
    case 0:
      return record.HotFixID;
    case 1:
      return record.InstalledOn;
    case 2:
      return record.Description;
    default:
      return record.InstalledBy;
  }
}

std::string PadRight(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

std::array<int, 4> MeasureTextWidths(const std::vector<const TTreeDataClass*>& rows) {
  std::array<int, 4> widths{};
  for (const TTreeDataClass* row : rows) {
    for (int column = 0; column < 4; ++column) {
      const std::size_t length = std::min<std::size_t>(ColumnText(*row, column).size(), INT_MAX);
      widths[column] = std::max(widths[column], static_cast<int>(length));
    }
  }
  return widths;
}

std::string BuildCopyText(const std::vector<const TTreeDataClass*>& rows,
                          const std::array<int, 4>& widths, const std::string& separator,
                          std::uint64_t maxBytes) {
  // Counted in 64 bits: on 32-bit Windows a huge separator times many rows must be refused,
  // not wrap around into a buffer too small.
  std::uint64_t total = 0;
  for (const TTreeDataClass* row : rows) {
    for (int column = 0; column < 4; ++column) {
      total += PaddedLength(ColumnText(*row, column), widths[column]);
    }
    total += 3 * static_cast<std::uint64_t>(separator.size()) + 2;
  }
  std::string out;
  try {
    if (total > maxBytes || total > out.max_size()) throw std::length_error("copy text");
    out.reserve(static_cast<std::size_t>(total));
  } catch (const std::exception&) {
    throw EFixtallyError("Le texte à copier est trop long pour le Presse-papiers");
  }
  for (const TTreeDataClass* row : rows) {
    for (int column = 0; column < 4; ++column) {
      if (column > 0) out.append(separator);
      AppendPadded(out, ColumnText(*row, column), widths[column]);
    }
    out.append(kLineEnd);
  }
  return out;
}

std::string CopySeparator(const std::string& text, std::int32_t count) {
  std::string separator;
  if (count <= 0) return separator;
  // Both come from the settings file; their product is counted in 64 bits so that it cannot
  // wrap around on 32-bit Windows.
  const std::uint64_t length =
      static_cast<std::uint64_t>(text.size()) * static_cast<std::uint64_t>(count);
  if (length > kMaxCopyTextBytes || length > separator.max_size()) {
    throw EFixtallyError("Le texte à copier est trop long pour le Presse-papiers");
  }
  separator.reserve(static_cast<std::size_t>(length));
  for (std::int32_t i = 0; i < count; ++i) separator += text;
  return separator;
}
