#include "settings/ini_values.h"

#include <limits>

#include "Systeme/errors.h"

bool IsProfileBlank(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte == ' ' || (byte >= 0x09 && byte <= 0x0D) || byte == 0x1A;
}

std::string_view TrimProfileBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsProfileBlank(text[begin])) ++begin;
  while (end > begin && IsProfileBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string ProfileDefault(std::string_view defaultValue) {
  std::size_t end = defaultValue.size();
  while (end > 1 && defaultValue[end - 1] == ' ') --end;
  return std::string(defaultValue.substr(0, end));
}

std::string ProfileCopy(std::string_view value, bool removeQuotes) {
  bool quoted = false;
  if (removeQuotes && value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string copied(value.substr(0, kIniBufferSize - 1));
  // The API drops the last character it copied whenever the rest of the value, closing quote
  // included, would have fitted the whole buffer; with exactly one character too many that is
  // a character of the value, not the quote.
  if (quoted && value.size() <= kIniBufferSize && !copied.empty()) copied.pop_back();
  return copied;
}

std::string ReadText(IniStore& ini, const std::string& path, const std::string& section,
                     const std::string& key, const std::string& defaultValue) {
  return ini.ReadString(path, section, key, defaultValue);
}

namespace {

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  const std::int64_t base = hex ? 16 : 10;
  constexpr std::int64_t kBeyondAnyInt32 = std::int64_t{1} << 32;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], hex);
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value >= kBeyondAnyInt32) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue) {
  return ParseInteger(text).value_or(defaultValue);
}

std::int32_t ReadInteger(IniStore& ini, const std::string& path, const std::string& section,
                         const std::string& key, std::int32_t defaultValue) {
  return StrToIntDef(ini.ReadString(path, section, key, ""), defaultValue);
}

bool ReadBool(IniStore& ini, const std::string& path, const std::string& section,
              const std::string& key, bool defaultValue) {
  return ReadInteger(ini, path, section, key, defaultValue ? 1 : 0) != 0;
}

std::string IntegerText(std::int32_t value) {
  return std::to_string(value);
}

std::string BoolText(bool value) {
  return value ? "1" : "0";
}

std::string WriteRefusedMessage(const std::string& utf8Path) {
  return "Impossible d'écrire dans " + utf8Path;
}

void WriteText(IniStore& ini, const std::string& path, const std::string& section,
               const std::string& key, const std::string& value) {
  if (!ini.WriteString(path, section, key, value)) {
    throw EFixtallyError(WriteRefusedMessage(ini.PathForMessage(path)));
  }
}

void WriteInteger(IniStore& ini, const std::string& path, const std::string& section,
                  const std::string& key, std::int32_t value) {
  WriteText(ini, path, section, key, IntegerText(value));
}

void WriteBool(IniStore& ini, const std::string& path, const std::string& section,
               const std::string& key, bool value) {
  WriteText(ini, path, section, key, BoolText(value));
}
