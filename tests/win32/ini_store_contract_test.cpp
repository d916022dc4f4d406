// The Windows profile API against the contract of tests/ini_store_contract.h, and the portable
// store against the API on files of random content: any difference fails.
#include <windows.h>

#include <random>

#include "ini_store_contract.h"
#include "portable_ini_store.h"
#include "settings/ini_store_win32.h"

namespace {

using ini_contract::FileBytes;
using ini_contract::ScratchFolder;
using ini_contract::WriteFileBytes;

// The 8-bit cases hold code page 1252 text, as the program's users have it.
class WindowsIniStoreContract : public ::testing::Test {
 protected:
  std::unique_ptr<IniStore> store_ = MakeWindowsIniStore();
};

TEST_F(WindowsIniStoreContract, Reads) {
  ini_contract::CheckReads(*store_);
}

TEST_F(WindowsIniStoreContract, Writes) {
  ini_contract::CheckWrites(*store_);
}

TEST_F(WindowsIniStoreContract, Refusals) {
  ini_contract::CheckRefusals(*store_);
}

// A file that another handle holds without sharing writes: both stores refuse to write it, and
// read it as missing.
TEST_F(WindowsIniStoreContract, FileHeldWithoutWriteSharing) {
  const ScratchFolder folder;
  const std::string path = folder.File("held.ini");
  WriteFileBytes(path, "[S]\r\nK=v\r\n");
  PortableIniStore portable;
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE("share " + std::to_string(share));
    const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store_->WriteString(path, "S", "K", "w"));
    EXPECT_FALSE(portable.WriteString(path, "S", "K", "w"));
    EXPECT_EQ(store_->ReadString(path, "S", "K", "\"d\""),
              portable.ReadString(path, "S", "K", "\"d\""));
    CloseHandle(held);
  }
  EXPECT_EQ(*FileBytes(path), "[S]\r\nK=v\r\n");
}

std::string RandomIni(std::mt19937& random) {
  static const std::vector<std::string> pieces = {
      "[S]", "[s]", "[T]", "[ S ]", "[]",   "[S", "K",  "k",    "L",    " ",    "\t",   "=", "==",
      "\"",  "'",   ";",   "v",     "\r\n", "\n", "\r", "\xA0", "\x1A", "\xE9", "\xC9", "x", "]"};
  std::string text;
  const std::size_t count = random() % 40;
  for (std::size_t i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
  return text;
}

TEST_F(WindowsIniStoreContract, PortableStoreAgreesOnRandomFiles) {
  const ScratchFolder folder;
  PortableIniStore portable;
  std::mt19937 random(1234);
  const char* names[] = {"S", "s", "T", " S ", "K", "k", "L", ""};
  const char* defaults[] = {"d", "\"q\"", "  ", "a b  "};
  int differences = 0;
  for (int round = 0; round < 300 && differences < 10; ++round) {
    const std::string content = RandomIni(random);
    const std::string path = folder.File("r" + std::to_string(round) + ".ini");
    WriteFileBytes(path, content);
    for (int probe = 0; probe < 4; ++probe) {
      const std::string section = names[random() % 4];
      const std::string key = names[4 + random() % 4];
      const std::string def = defaults[random() % 4];
      const std::string api = store_->ReadString(path, section, key, def);
      const std::string own = portable.ReadString(path, section, key, def);
      if (api != own) ++differences;
      EXPECT_EQ(api, own) << "file: " << ::testing::PrintToString(content) << " [" << section
                          << "] " << key;
    }
    // The same write to two copies leaves the same bytes.
    const std::string apiPath = folder.File("wa" + std::to_string(round) + ".ini");
    const std::string ownPath = folder.File("wo" + std::to_string(round) + ".ini");
    WriteFileBytes(apiPath, content);
    WriteFileBytes(ownPath, content);
    const std::string section = names[random() % 4];
    const std::string key = names[4 + random() % 3];
    EXPECT_TRUE(store_->WriteString(apiPath, section, key, " w"));
    EXPECT_TRUE(portable.WriteString(ownPath, section, key, " w"));
    if (FileBytes(apiPath) != FileBytes(ownPath)) ++differences;
    EXPECT_EQ(FileBytes(apiPath), FileBytes(ownPath))
        << "file: " << ::testing::PrintToString(content) << " [" << section << "] " << key;
  }
}

}  // namespace
