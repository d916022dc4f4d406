#include "portable_ini_store.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cp1252_utf8.h"
#include "ini_document.h"
#include "settings/ini_values.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

bool FolderOfExists(const std::string& path) {
  std::error_code error;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() || std::filesystem::is_directory(parent, error);
}

std::optional<std::string> ReadAll(std::FILE* file) {
  std::string bytes;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  if (std::ferror(file)) return std::nullopt;
  return bytes;
}

enum class Opened { File, Missing, Refused };

// Opens an existing file as the API does: a missing file in an existing folder reads as an
// empty one; anything else that fails (missing folder, no access, a folder) is a refusal.
Opened OpenExisting(const std::string& path, const char* mode, UniqueFile& file) {
  file.reset(std::fopen(path.c_str(), mode));
  if (file) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      file.reset();
      return Opened::Refused;
    }
    return Opened::File;
  }
  return errno == ENOENT && FolderOfExists(path) ? Opened::Missing : Opened::Refused;
}

}  // namespace

std::string PortableIniStore::PathForMessage(const std::string& path) {
  return Cp1252ToUtf8(path);
}

bool PortableIniStore::FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::string PortableIniStore::ReadString(const std::string& path, const std::string& section,
                                         const std::string& key, const std::string& defaultValue) {
  const std::string apiDefault = ProfileDefault(defaultValue);
  UniqueFile file;
  std::optional<std::string> bytes = std::string();
  switch (OpenExisting(path, "rb", file)) {
    case Opened::Refused:
      // The API hands back the default as it is when it cannot open the file at all.
      return ProfileCopy(apiDefault, false);
    case Opened::Missing:
      break;
    case Opened::File:
      bytes = ReadAll(file.get());
      if (!bytes) return ProfileCopy(apiDefault, false);
      break;
  }
  const IniDocument doc = IniDocument::Parse(*bytes);
  if (!doc.IsUtf8()) {
    const std::optional<std::string_view> value = doc.Value(section, key);
    return ProfileCopy(value ? *value : std::string_view(apiDefault), true);
  }
  const std::optional<std::string_view> value = doc.Value(Cp1252ToUtf8(section), Cp1252ToUtf8(key));
  return ProfileCopy(value ? Utf8ToCp1252(*value) : apiDefault, true);
}

bool PortableIniStore::WriteString(const std::string& path, const std::string& section,
                                   const std::string& key, const std::string& value) {
  UniqueFile file;
  std::optional<std::string> bytes = std::string();
  switch (OpenExisting(path, "r+b", file)) {
    case Opened::Refused:
      return false;
    case Opened::Missing:
      break;
    case Opened::File:
      bytes = ReadAll(file.get());
      if (!bytes) return false;
      break;
  }
  file.reset();
  IniDocument doc = IniDocument::Parse(*bytes);
  const bool changed =
      doc.IsUtf8() ? doc.SetValue(Cp1252ToUtf8(section), Cp1252ToUtf8(key), Cp1252ToUtf8(value))
                   : doc.SetValue(section, key, value);
  if (!changed) return true;

  const std::string text = doc.Serialize();
  UniqueFile out(std::fopen(path.c_str(), "wb"));
  if (!out) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  return std::fclose(out.release()) == 0 && written;
}

std::unique_ptr<IniStore> MakePortableIniStore() {
  return std::make_unique<PortableIniStore>();
}
