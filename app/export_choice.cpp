#include "app/export_choice.h"

#include <cstdio>
#include <iterator>

namespace {

bool EqualNoCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

struct KnownExtension {
  ExportFormat format;
  std::string_view extension;  // lower case, without the dot
};

constexpr KnownExtension kKnownExtensions[] = {
    {ExportFormat::Csv, "csv"}, {ExportFormat::Json, "json"}, {ExportFormat::Text, "txt"}};

std::string_view ExtensionOf(ExportFormat format) {
  for (const KnownExtension& known : kKnownExtensions) {
    if (known.format == format) return known.extension;
  }
  return kKnownExtensions[0].extension;
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

ExportFormat ExportFormatOfType(int filterIndex) {
  constexpr int count = static_cast<int>(std::size(kExportFilterFormats));
  if (filterIndex < 1 || filterIndex > count) return ExportFormat::Csv;
  return kExportFilterFormats[filterIndex - 1];
}

std::string PathForFormat(std::string_view path, ExportFormat format) {
  const std::string_view wanted = ExtensionOf(format);
  const std::size_t nameStart = path.find_last_of("\\/") + 1;  // 0 when there is no folder
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) {
    return std::string(path) + "." + std::string(wanted);
  }
  const std::string_view extension = path.substr(dot + 1);
  // "name." is a name without extension: Windows drops the dot.
  if (extension.empty()) return std::string(path) + std::string(wanted);
  for (const KnownExtension& known : kKnownExtensions) {
    if (!EqualNoCase(extension, known.extension)) continue;
    if (known.format == format) return std::string(path);
    return std::string(path.substr(0, dot + 1)) + std::string(wanted);
  }
  return std::string(path);
}

std::string FolderOf(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  // "C:" alone would name the drive's current folder, not its root.
  if (last > 0 && path[last - 1] == ':') return std::string(path.substr(0, last + 1));
  return std::string(path.substr(0, last));
}
