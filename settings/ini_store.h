#pragma once
// Access to an INI file: the raw strings, as GetPrivateProfileStringA and
// WritePrivateProfileStringA give and take them. The value rules sit on top
// (settings/ini_values.h).
#include <optional>
#include <string>

class IniStore {
 public:
  virtual ~IniStore() = default;
  virtual bool FileExists(const std::string& path) = 0;
  // The value as the API returns it (blanks and one pair of quotes already dropped, cut to 2047
  // characters), or the default when the key is missing.
  virtual std::string ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& defaultValue) = 0;
  // False when the system refuses the write.
  virtual bool WriteString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
  // The path as UTF-8, for a message: paths are in the system's code page, messages are not.
  virtual std::string PathForMessage(const std::string& path) = 0;
};
