// The settings file with any content, read at start-up through the portable store, then the
// column widths it holds applied, then rewritten: nothing may crash, every value stays within
// the API's buffer, and writing one key never changes what another key reads.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "list/virtual_string_tree.h"
#include "ini_document.h"
#include "portable_ini_store.h"
#include "settings/ini_values.h"
#include "list/column_widths.h"
#include "settings/settings_file.h"
#include "window_placement_fake.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = [] {
    char folder[] = "/tmp/fixtally-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    return std::string(folder) + "/Fixtally.ini";
  }();
  return path;
}

std::string ReadBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) std::abort();
  std::string bytes;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) std::abort();
}

struct Key {
  const char* section;
  const char* name;
};
constexpr Key kKeys[] = {{"OPTION", "WRITEINI"},   {"OPTION", "COLUMNSORDER"},
                         {"OPTION", "SORTCOLUMN"}, {"OPTION", "SORTDIRECTION"},
                         {"OPTION", "MSKBID"},     {"OPTION", "DEFCHAR"},
                         {"OPTION", "NBRCHAR"},    {"HOST", "LOCALHOST"},
                         {"HOST", "ROOT"},         {"HOST", "USER"},
                         {"HOST", "PASSWORD"},     {"MAINFORM", "NormPos"},
                         {"MAINFORM", "ShowCmd"}};

std::vector<std::string> ReadAll(IniStore& ini, const std::string& path) {
  std::vector<std::string> values;
  for (const Key& key : kKeys) values.push_back(ini.ReadString(path, key.section, key.name, "?"));
  return values;
}

void CheckLoadedSettings(const TSettings& settings, const FakeWindowPlacement& window) {
  for (const std::string* text :
       {&settings.ColumnsOrder, &settings.MsKbId, &settings.DefChar, &settings.LocalHost,
        &settings.Root, &settings.User, &settings.Password}) {
    FUZZ_CHECK(text->size() <= kIniBufferSize - 1);
  }
  // A stored position is applied only when it has a width; the last record applied is the one
  // that puts the maximized window's frame just off the screen.
  FUZZ_CHECK(!window.applied.empty());
  for (std::size_t i = 0; i + 1 < window.applied.size(); ++i) {
    FUZZ_CHECK(window.applied[i].rcNormalPosition.left < window.applied[i].rcNormalPosition.right);
  }
  FUZZ_CHECK(window.applied.back().ptMaxPosition == (PlacementPoint{-4, -4}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::string widths = data.ConsumeRandomLengthString(40);
  const std::string content = data.ConsumeRemainingBytesAsString();
  const std::string& path = ScratchFile();
  WriteBytes(path, content);

  PortableIniStore ini;
  FakeWindowPlacement window;
  TFormPlacement placement(window);
  placement.IniFileName = path;
  placement.IniSection = "MAINFORM";
  TSettings settings;
  settings.IniFileName = path;
  LoadSettings(settings, ini, placement);
  CheckLoadedSettings(settings, window);

  TVirtualStringTree list;
  for (const char* caption : {"KB Windows", "Installé le", "Description", "Installé par"}) {
    list.AddColumn(caption, 150);
  }
  ApplyColumnWidths(ReadColumnWidths(settings.ColumnsOrder), list);
  for (TColumnIndex i = 0; i < list.ColumnCount(); ++i) {
    FUZZ_CHECK(list.Column(i).Width >= list.Column(i).MinWidth);
    FUZZ_CHECK(list.Column(i).Width <= list.Column(i).MaxWidth);
  }

  // Rewrites put the file in the form the store writes. Like the API, a rewrite can change
  // what a file means once: a line that starts with a zero byte is written back as an empty
  // line and read as nothing after that, and whatever follows it may then start the file (a
  // byte-order mark, say). Two rewrites at most reach a file that reads as it is written.
  for (int rewrite = 0;; ++rewrite) {
    FUZZ_CHECK(rewrite < 3);
    FUZZ_CHECK(ini.WriteString(path, "FUZZ", "KEY", std::to_string(rewrite)));
    const std::string rewritten = ReadBytes(path);
    if (IniDocument::Parse(rewritten).Serialize() == rewritten) break;
  }
  // From then on, a write of one key must leave every other key reading as before, and the
  // written key reading back.
  const std::vector<std::string> before = ReadAll(ini, path);

  std::string value;
  for (const char c : widths) {
    if ((c >= '0' && c <= '9') || c == '=' || c == ',' || (c >= 'A' && c <= 'Z')) value += c;
  }
  if (value.empty()) value = "0=150";
  WriteText(ini, path, "OPTION", "COLUMNSORDER", value);
  const std::vector<std::string> after = ReadAll(ini, path);
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (std::string(kKeys[i].name) == "COLUMNSORDER") {
      FUZZ_CHECK(after[i] == value);
    } else {
      FUZZ_CHECK(after[i] == before[i]);
    }
  }
  return 0;
}
