#include "app/export_choice.h"

#include <cstdio>
#include <iterator>

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ending[i]) return false;
  }
  return true;
}

}  // namespace

std::string ProposedExportName(std::string_view computer, int year, int month, int day) {
  std::string name = "Fixtally-";
  for (char c : computer) {
    const bool forbidden = static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/' ||
                           c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
                           c == '|';
    name += forbidden ? '_' : c;
  }
  char date[32];
  std::snprintf(date, sizeof date, "-%04d-%02d-%02d.csv", year, month, day);
  return name + date;
}

ExportFormat ExportFormatFor(std::string_view path, int filterIndex) {
  if (EndsWithNoCase(path, ".csv")) return ExportFormat::Csv;
  if (EndsWithNoCase(path, ".json")) return ExportFormat::Json;
  if (EndsWithNoCase(path, ".txt")) return ExportFormat::Text;
  constexpr int count = static_cast<int>(std::size(kExportFilterFormats));
  if (filterIndex < 1 || filterIndex > count) return ExportFormat::Csv;
  return kExportFilterFormats[filterIndex - 1];
}

std::string FolderOf(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  // "C:" alone would name the drive's current folder, not its root.
  if (last > 0 && path[last - 1] == ':') return std::string(path.substr(0, last + 1));
  return std::string(path.substr(0, last));
}
