#pragma once
// A strict RFC 4180 reader for checking the CSV the program writes: records end with CR LF, a
// field is quoted or holds no quote, a quote inside quotes is doubled. Nothing after the last
// record's CR LF.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace csv_reader {

using Records = std::vector<std::vector<std::string>>;

// The records, or none when the text breaks the grammar.
inline std::optional<Records> Read(std::string_view text, std::string_view separator) {
  Records records;
  std::vector<std::string> record;
  std::size_t at = 0;
  while (at < text.size()) {
    std::string field;
    if (text[at] == '"') {
      ++at;
      for (;;) {
        const std::size_t quote = text.find('"', at);
        if (quote == std::string_view::npos) return std::nullopt;
        field.append(text.substr(at, quote - at));
        at = quote + 1;
        if (at < text.size() && text[at] == '"') {
          field.push_back('"');
          ++at;
        } else {
          break;
        }
      }
    } else {
      std::size_t end = at;
      while (end < text.size() && text.compare(end, separator.size(), separator) != 0 &&
             text.compare(end, 2, "\r\n") != 0) {
        if (text[end] == '"' || text[end] == '\r' || text[end] == '\n') return std::nullopt;
        ++end;
      }
      field.assign(text.substr(at, end - at));
      at = end;
    }
    record.push_back(std::move(field));
    if (text.compare(at, separator.size(), separator) == 0) {
      at += separator.size();
    } else if (text.compare(at, 2, "\r\n") == 0) {
      at += 2;
      records.push_back(std::move(record));
      record.clear();
    } else {
      return std::nullopt;
    }
  }
  if (!record.empty()) return std::nullopt;  // the last record lacks its CR LF
  return records;
}

}  // namespace csv_reader
