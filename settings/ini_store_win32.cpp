#include "settings/ini_store_win32.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "Systeme/text_convert_win32.h"
#include "settings/ini_values.h"

namespace {

class WindowsIniStore : public IniStore {
 public:
  bool FileExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    std::array<char, kIniBufferSize> buffer{};
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
  }

  // The return value is the only sign of success: the API leaves stale error codes behind.
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           FALSE;
  }

  std::string PathForMessage(const std::string& path) override { return AnsiToUtf8(path); }
};

}  // namespace

std::unique_ptr<IniStore> MakeWindowsIniStore() {
  return std::make_unique<WindowsIniStore>();
}
