#include "ini_document.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "settings/ini_values.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The API keeps names and values as C strings: whatever follows a zero byte is lost.
std::string UpToZero(std::string_view text) {
  return std::string(text.substr(0, std::min(text.find('\0'), text.size())));
}

}  // namespace

bool SameProfileName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  if (bytes.starts_with(kUtf8Mark)) {
    doc.hasUtf8Mark_ = true;
    bytes.remove_prefix(kUtf8Mark.size());
  }
  // The API drops a nameless key that follows another nameless key of the same section.
  enum class Previous { None, Named, Nameless } previous = Previous::None;
  std::size_t next = 0;
  while (next < bytes.size()) {
    const std::size_t start = next;
    while (next < bytes.size() && bytes[next] != '\r' && bytes[next] != '\n') ++next;
    const std::string_view line = TrimProfileBlanks(bytes.substr(start, next - start));
    while (next < bytes.size() && (bytes[next] == '\r' || bytes[next] == '\n')) ++next;
    if (line.empty()) continue;

    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        doc.sections_.push_back(
            Section{UpToZero(TrimProfileBlanks(line.substr(1, close - 1))), {}});
        previous = Previous::None;
        continue;
      }
    }
    std::string_view name = line;
    std::optional<std::string> value;
    if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      name = TrimProfileBlanks(line.substr(0, equals));
      value = UpToZero(TrimProfileBlanks(line.substr(equals + 1)));
    }
    if (!name.empty() || previous != Previous::Nameless) {
      std::string keyName = UpToZero(name);
      previous = keyName.empty() ? Previous::Nameless : Previous::Named;
      doc.sections_.back().keys.push_back(Key{std::move(keyName), std::move(value)});
    }
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (hasUtf8Mark_) out += kUtf8Mark;
  for (const Section& section : sections_) {
    if (!section.name.empty()) out += "[" + section.name + "]\r\n";
    for (const Key& key : section.keys) {
      out += key.name;
      if (key.value) out += "=" + *key.value;
      out += "\r\n";
    }
  }
  return out;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view trimmedName) const {
  for (const Section& section : sections_) {
    if (SameProfileName(section.name, trimmedName)) return &section;
  }
  return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view trimmedName) {
  return const_cast<Section*>(std::as_const(*this).FindSection(trimmedName));
}

std::optional<std::string_view> IniDocument::Value(std::string_view section,
                                                   std::string_view key) const {
  const Section* found = FindSection(TrimProfileBlanks(section));
  if (found == nullptr) return std::nullopt;
  key = TrimProfileBlanks(key);
  for (const Key& candidate : found->keys) {
    if (SameProfileName(candidate.name, key)) {
      if (!candidate.value) return std::nullopt;
      return std::string_view(*candidate.value);
    }
  }
  return std::nullopt;
}

bool IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  const auto withoutLeadingBlanks = [](std::string_view text) {
    while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
    return text;
  };
  value = withoutLeadingBlanks(value);

  Section* target = FindSection(TrimProfileBlanks(section));
  if (target == nullptr) {
    sections_.push_back(Section{std::string(withoutLeadingBlanks(section)), {}});
    target = &sections_.back();
  }
  const std::string_view trimmedKey = TrimProfileBlanks(key);
  auto found = std::find_if(target->keys.begin(), target->keys.end(), [&](const Key& candidate) {
    return SameProfileName(candidate.name, trimmedKey);
  });
  if (found == target->keys.end()) {
    target->keys.push_back(Key{std::string(withoutLeadingBlanks(key)), std::nullopt});
    found = std::prev(target->keys.end());
  }
  if (found->value && *found->value == value) return false;
  found->value = std::string(value);
  return true;
}
