#pragma once
// An INI file held the way the Windows profile API holds it between reading and rewriting, so
// that the portable store answers and rewrites files byte for byte as the API does:
// - lines end at CR or LF; blank lines vanish; a line is trimmed of blanks;
// - "[name]" up to the line's last "]" opens a section, its name trimmed; lines before the
//   first section belong to a nameless section, the one that the empty name finds;
// - any other line is a key: the name before the first "=" and the value after it, both
//   trimmed; a line without "=" (a comment, for one) is a key without value, kept on rewrite;
// - names compare trimmed and without regard to the case of ASCII letters (other letters count
//   as they are); the first section of a name is the only one searched, and in it the first key;
// - a name that a write adds loses its leading blanks only;
// - a file that starts with a UTF-8 byte-order mark keeps it when rewritten; its names and values
//   stay UTF-8 here, and the store converts them from and to code page 1252.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
 public:
  static IniDocument Parse(std::string_view fileBytes);
  bool IsUtf8() const { return hasUtf8Mark_; }
  // The whole file as a rewrite produces it: "[name]\r\n", then "key=value\r\n" per key.
  std::string Serialize() const;

  // The stored value; none when the section or key is missing or the key has no value.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // Replaces the first key of that name in the first section of that name, or adds the key at
  // the end of the section, or the section at the end of the file. Leading blanks of the value
  // are dropped. False when the stored value was already the same (the file needs no rewrite).
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };
  Section* FindSection(std::string_view trimmedName);
  const Section* FindSection(std::string_view trimmedName) const;

  bool hasUtf8Mark_ = false;
  std::vector<Section> sections_{Section{}};  // the first one is the nameless one
};

// Comparison of two names as the API makes it: ASCII letters without regard to case.
bool SameProfileName(std::string_view a, std::string_view b);
