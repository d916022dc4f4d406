#pragma once
// An IniStore over files on disk that answers and rewrites them the way the Windows profile
// API does (settings/ini_document.h says how), for every build: the settings tests run on it
// natively and the contract tests hold it to the real API under Wine. Paths are used as given.
#include <memory>
#include <string>

#include "settings/ini_store.h"

class PortableIniStore : public IniStore {
 public:
  bool FileExists(const std::string& path) override;
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override;
  // Rewrites the whole file when the value changes; creates a missing file but not a missing
  // folder; refuses a file it may not write.
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  // Paths are taken as code page 1252, as the texts are.
  std::string PathForMessage(const std::string& path) override;
};

std::unique_ptr<IniStore> MakePortableIniStore();
