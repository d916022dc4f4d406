#include "console/host_list.h"

#include <cstdint>

#include "Systeme/utf8_text.h"

namespace {

// UTF-16 (after its byte-order mark) as UTF-8; an unpaired surrogate becomes U+FFFD and an odd
// last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](std::size_t i) -> char16_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  };
  const std::size_t count = bytes.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    const char16_t c = unit(2 * i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
      const char16_t low = unit(2 * (i + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendCodePoint(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendCodePoint(out, c);  // a lone surrogate gives U+FFFD
  }
  return out;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

HostList ParseHostList(std::string_view fileBytes,
                       const std::function<std::string(std::string_view)>& ansiToUtf8) {
  HostList list;
  std::string decoded;
  std::string_view text = fileBytes;
  bool utf8 = false;
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    decoded = Utf16ToUtf8(text.substr(2), text[0] == '\xFE');
    text = decoded;
    utf8 = true;
  } else if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
    utf8 = true;
  } else {
    utf8 = IsValidUtf8(text);
  }
  if (text.find('\0') != std::string_view::npos) {
    list.error = "Le fichier des ordinateurs contient un octet nul : ce n'est pas un fichier texte";
    return list;
  }
  // Decoded text and files with a UTF-8 mark may still hold bad bytes; converted names do not.
  const std::string repaired = utf8 ? ValidUtf8(text) : std::string();
  if (utf8) text = repaired;

  while (!text.empty()) {
    // CR LF leaves an empty line between its two ends, skipped like any blank line.
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    list.hosts.push_back(utf8 ? std::string(line) : ansiToUtf8(line));
  }
  return list;
}
