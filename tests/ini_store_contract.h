#pragma once
// One contract for every IniStore: the same files must give the same answers, and the same
// writes the same file bytes, whether the store is the Windows profile API (under Wine) or the
// portable store. Each case works on a file of its own, because the API caches files by name.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "settings/ini_store.h"

namespace ini_contract {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("fixtally-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::optional<std::string> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Repeat(const std::string& piece, std::size_t count) {
  std::string text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

// Distinct characters, so that a cut at the wrong place shows.
inline std::string Letters(std::size_t count) {
  std::string text(count, 'a');
  for (std::size_t i = 0; i < count; ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

enum class Place { File, NoFile, NoFolder };

struct ReadCase {
  std::string name;
  std::string file;  // content, when place is Place::File
  std::string section;
  std::string key;
  std::string defaultValue;
  std::string expected;
  Place place = Place::File;
};

inline std::vector<ReadCase> ReadCases() {
  using namespace std::string_literals;
  const std::string big = Letters(100000);
  std::vector<ReadCase> cases = {
      {"plain", "[OPTION]\r\nWRITEINI=1\r\n", "OPTION", "WRITEINI", "d", "1"},
      {"names ignore case", "[option]\r\nwriteIni=1\r\n", "OPTION", "WRITEINI", "d", "1"},
      {"blanks around key and value", "[S]\r\n   KEY   =   value   \r\n", "S", "KEY", "d", "value"},
      {"tabs around key and value", "[S]\r\n\tKEY\t=\tvalue\t\r\n", "S", "KEY", "d", "value"},
      {"blanks inside kept", "[S]\r\nMY KEY=a  b\r\n", "S", "MY KEY", "d", "a  b"},
      {"double quotes removed", "[S]\r\nK=\"a b\"\r\n", "S", "K", "d", "a b"},
      {"single quotes removed", "[S]\r\nK='a b'\r\n", "S", "K", "d", "a b"},
      {"quoted blanks kept", "[S]\r\nK=\" | \"\r\n", "S", "K", "d", " | "},
      {"quotes inside blanks", "[S]\r\nK=  \"x\"  \r\n", "S", "K", "d", "x"},
      {"mixed quotes kept", "[S]\r\nK=\"abc'\r\n", "S", "K", "d", "\"abc'"},
      {"opening quote only", "[S]\r\nK=\"abc\r\n", "S", "K", "d", "\"abc"},
      {"closing quote only", "[S]\r\nK=abc\"\r\n", "S", "K", "d", "abc\""},
      {"a lone quote", "[S]\r\nK=\"\r\n", "S", "K", "d", "\""},
      {"two quotes", "[S]\r\nK=\"\"\r\n", "S", "K", "d", ""},
      {"one pair only", "[S]\r\nK=\"\"a\"\"\r\n", "S", "K", "d", "\"a\""},
      {"equals in value", "[S]\r\nK=a=b\r\n", "S", "K", "d", "a=b"},
      {"empty value is not missing", "[S]\r\nK=\r\n", "S", "K", "d", ""},
      {"blank value", "[S]\r\nK=    \r\n", "S", "K", "d", ""},
      {"first key wins", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "d", "1"},
      {"first section wins", "[S]\r\nA=1\r\n[S]\r\nB=2\r\n", "S", "B", "d", "d"},
      {"first section's key", "[S]\r\nA=1\r\n[S]\r\nA=2\r\n", "S", "A", "d", "1"},
      {"missing key", "[S]\r\nK=1\r\n", "S", "OTHER", "dflt", "dflt"},
      {"missing section", "[S]\r\nK=1\r\n", "T", "K", "dflt", "dflt"},
      {"key without equals", "[S]\r\nK\r\n", "S", "K", "d", "d"},
      {"default's trailing blanks", "[S]\r\n", "S", "K", "abc   ", "abc"},
      {"default's leading blanks", "[S]\r\n", "S", "K", "  abc", "  abc"},
      {"blank default", "[S]\r\n", "S", "K", "   ", " "},
      {"empty default", "[S]\r\n", "S", "K", "", ""},
      {"quoted default", "[S]\r\n", "S", "K", "\" | \"", " | "},
      {"quoted default, no file", "", "S", "K", "\" | \"", " | ", Place::NoFile},
      {"quoted default, no folder", "", "S", "K", "\" | \"", "\" | \"", Place::NoFolder},
      {"default, no folder", "", "S", "K", "abc  ", "abc", Place::NoFolder},
      {"long default cut", "[S]\r\n", "S", "K", Letters(3000), Letters(2047)},
      {"LF lines", "[S]\nK=v\n", "S", "K", "d", "v"},
      {"CR lines", "[S]\rK=v\r", "S", "K", "d", "v"},
      {"no final line end", "[S]\r\nK=v", "S", "K", "d", "v"},
      {"blank lines", "\r\n\r\n[S]\r\n\r\n\r\nK=v\r\n\r\n", "S", "K", "d", "v"},
      {"section name trimmed", "[ S ]\r\nK=v\r\n", "S", "K", "d", "v"},
      {"section name trimmed of tabs", "[\tS\t]\r\nK=v\r\n", "S", "K", "d", "v"},
      {"nameless section", "K=v\r\n[S]\r\n", "", "K", "d", "v"},
      {"empty section name comes second", "[]\r\nK=v\r\n", "", "K", "d", "d"},
      {"indented section", "   [S]   \r\nK=v\r\n", "S", "K", "d", "v"},
      {"text after section", "[S] note\r\nK=v\r\n", "S", "K", "d", "v"},
      {"last bracket closes", "[A]B]\r\nK=v\r\n", "A]B", "K", "d", "v"},
      {"unclosed section", "[S\r\nK=v\r\n", "S", "K", "d", "d"},
      {"asked names trimmed", "[S]\r\nK=v\r\n", "  S  ", "  K  ", "d", "v"},
      {"keys before any section", "K=v\r\n[S]\r\n", "S", "K", "d", "d"},
      {"comment is no key", "[S]\r\n;K=v\r\nK=w\r\n", "S", "K", "d", "w"},
      {"empty file", "", "S", "K", "d", "d"},
      {"no file", "", "S", "K", "d", "d", Place::NoFile},
      {"no folder", "", "S", "K", "d", "d", Place::NoFolder},
      {"value cut to 2047", "[S]\r\nK=" + Letters(3000) + "\r\n", "S", "K", "d", Letters(2047)},
      {"100000 characters", "[S]\r\nK=" + big + "\r\nL=2\r\n", "S", "L", "d", "2"},
      {"100000 characters cut", "[S]\r\nK=" + big + "\r\n", "S", "K", "d", big.substr(0, 2047)},
      {"quoted 2046", "[S]\r\nK=\"" + Letters(2046) + "\"\r\n", "S", "K", "d", Letters(2046)},
      {"quoted 2047", "[S]\r\nK=\"" + Letters(2047) + "\"\r\n", "S", "K", "d", Letters(2046)},
      {"quoted 2048", "[S]\r\nK=\"" + Letters(2048) + "\"\r\n", "S", "K", "d", Letters(2047)},
      {"8-bit value", "[S]\r\nK=\xE9t\xE9 \xA4\r\n", "S", "K", "d", "\xE9t\xE9 \xA4"},
      {"8-bit letters keep their case", "[\xC9T\xC9]\r\nA=1\r\n", "\xE9t\xE9", "A", "d", "d"},
      {"8-bit letters keep their case in keys", "[S]\r\n\xC0\x8A=1\r\n", "S", "\xE0\x9A", "d", "d"},
      {"ASCII letters ignore case beside 8-bit ones",
       "[\xC9T\xC9]\r\n\xC0"
       "a=1\r\n",
       "\xC9t\xC9",
       "\xC0"
       "A",
       "d", "1"},
      {"no-break spaces are no blanks", "[S]\r\nK=\xA0v\xA0\r\n", "S", "K", "d", "\xA0v\xA0"},
      {"separators are no blanks", "[S]\r\nK=\x1Cv\x1F\r\n", "S", "K", "d", "\x1Cv\x1F"},
      {"vertical tab and form feed are blanks", "[S]\r\nK=\x0Bv\x0C\r\n", "S", "K", "d", "v"},
      {"end-of-file mark is blank", "[S]\r\nK=v\x1A\r\n", "S", "K", "d", "v"},
      {"UTF-8 mark", "\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", "d", "v"},
      {"UTF-8 mark, 8-bit value", "\xEF\xBB\xBF[S]\r\nK=\xC3\xA9\xE2\x82\xAC\r\n", "S", "K", "d",
       "\xE9\x80"},
      {"UTF-8 mark, 8-bit key", "\xEF\xBB\xBF[S]\r\n\xC3\xA9=1\r\n", "S", "\xE9", "d", "1"},
      {"zero byte ends value", "[S]\r\nK=ab\0cd\r\n"s, "S", "K", "d", "ab"},
      {"binary", "\x01\x02[\x00]\xFE\xFF==\r\r\n=\n[S]\r\nK=v\x7F\r\n"s, "S", "K", "d", "v\x7F"},
  };
  // A 1 MB file of many sections and keys: the last one is still found.
  std::string large;
  for (int i = 0; large.size() < 1024 * 1024; ++i) {
    large += "[SEC" + std::to_string(i) + "]\r\nKEY=" + Letters(200) + "\r\nK2=x\r\n";
  }
  large += "[LAST]\r\nKEY=found\r\n";
  cases.push_back({"1 MB file", large, "LAST", "KEY", "d", "found"});
  return cases;
}

struct WriteStep {
  std::string section;
  std::string key;
  std::string value;
};

struct WriteCase {
  std::string name;
  std::optional<std::string> initial;  // none: no file before the writes
  std::vector<WriteStep> steps;
  std::string expected;  // the file's bytes afterwards
};

inline std::vector<WriteCase> WriteCases() {
  return {
      {"new file", std::nullopt, {{"S", "K", "v"}}, "[S]\r\nK=v\r\n"},
      {"key added at end of section",
       "[OPTION]\r\nWRITEINI=1\r\n",
       {{"OPTION", "COLUMNSORDER", "0=150"}},
       "[OPTION]\r\nWRITEINI=1\r\nCOLUMNSORDER=0=150\r\n"},
      {"replaced in place", "[S]\r\nA=1\r\nB=2\r\n", {{"S", "A", "9"}}, "[S]\r\nA=9\r\nB=2\r\n"},
      {"first key replaced", "[S]\r\nA=1\r\nA=2\r\n", {{"S", "A", "9"}}, "[S]\r\nA=9\r\nA=2\r\n"},
      {"file's case kept", "[s]\r\na=1\r\n", {{"S", "A", "2"}}, "[s]\r\na=2\r\n"},
      {"blank lines dropped",
       "[A]\r\nX=1\r\n\r\n\r\n[B]\r\nY=2\r\n\r\n",
       {{"A", "X", "3"}},
       "[A]\r\nX=3\r\n[B]\r\nY=2\r\n"},
      {"same value leaves file as it was",
       "[A]\r\nX = 1 \r\n\r\n[B]\n",
       {{"A", "X", "1"}},
       "[A]\r\nX = 1 \r\n\r\n[B]\n"},
      {"new section at end", "[A]\r\nX=1\r\n", {{"B", "Y", "2"}}, "[A]\r\nX=1\r\n[B]\r\nY=2\r\n"},
      {"key added inside",
       "[A]\r\nX=1\r\n[B]\r\nY=2\r\n",
       {{"A", "Z", "3"}},
       "[A]\r\nX=1\r\nZ=3\r\n[B]\r\nY=2\r\n"},
      {"comments kept",
       "; note\r\n[A]\r\n;c\r\nX=1\r\n",
       {{"A", "X", "2"}},
       "; note\r\n[A]\r\n;c\r\nX=2\r\n"},
      {"lines trimmed", "[A]\r\n  X  =  1  \r\n", {{"A", "Y", "2"}}, "[A]\r\nX=1\r\nY=2\r\n"},
      {"LF file rewritten with CRLF", "[A]\nX=1\n", {{"A", "X", "2"}}, "[A]\r\nX=2\r\n"},
      {"value's leading blanks dropped", std::nullopt, {{"S", "K", "  v  "}}, "[S]\r\nK=v  \r\n"},
      {"new names lose leading blanks only",
       std::nullopt,
       {{" S ", "\tK\t", "v"}},
       "[S ]\r\nK\t=v\r\n"},
      {"names found trimmed", "[S]\r\nK=v\r\n", {{" S ", " K ", "w"}}, "[S]\r\nK=w\r\n"},
      {"file's names trimmed", "[ S ]\r\nK =v\r\n", {{"S", "K", "w"}}, "[S]\r\nK=w\r\n"},
      {"nameless section", "[S]\r\nK=v\r\n", {{"", "K", "1"}}, "K=1\r\n[S]\r\nK=v\r\n"},
      {"nameless keys", "[S]\r\n=a\r\n=b\r\nK=1\r\n", {{"S", "K", "2"}}, "[S]\r\n=a\r\nK=2\r\n"},
      {"UTF-8 mark, 8-bit value",
       "\xEF\xBB\xBF[A]\r\nX=1\r\n",
       {{"A", "X", "\xE9\x80"}},
       "\xEF\xBB\xBF[A]\r\nX=\xC3\xA9\xE2\x82\xAC\r\n"},
      {"empty value", std::nullopt, {{"S", "K", ""}}, "[S]\r\nK=\r\n"},
      {"key without equals gets a value", "[A]\r\nK\r\n", {{"A", "K", "1"}}, "[A]\r\nK=1\r\n"},
      {"first section written",
       "[A]\r\nX=1\r\n[A]\r\nY=2\r\n",
       {{"A", "Y", "3"}},
       "[A]\r\nX=1\r\nY=3\r\n[A]\r\nY=2\r\n"},
      {"UTF-8 mark kept",
       "\xEF\xBB\xBF[A]\r\nX=1\r\n",
       {{"A", "X", "2"}},
       "\xEF\xBB\xBF[A]\r\nX=2\r\n"},
      {"keys before any section kept",
       "X=1\r\n[A]\r\nY=2\r\n",
       {{"A", "Y", "3"}},
       "X=1\r\n[A]\r\nY=3\r\n"},
      {"text after section dropped", "[A] note\r\nX=1\r\n", {{"A", "X", "2"}}, "[A]\r\nX=2\r\n"},
      {"8-bit letters keep their case",
       "[\xC9T\xC9]\r\nA=1\r\n",
       {{"\xE9t\xE9", "a", "\xE9"}},
       "[\xC9T\xC9]\r\nA=1\r\n[\xE9t\xE9]\r\na=\xE9\r\n"},
      // Wine's API loses values of 32767 characters or more (a 16-bit length), so the longest
      // value the contract holds it to is shorter.
      {"30000 characters",
       std::nullopt,
       {{"A", "K", Letters(30000)}},
       "[A]\r\nK=" + Letters(30000) + "\r\n"},
      {"sequence",
       std::nullopt,
       {{"B", "X", "1"}, {"A", "Y", "2"}, {"B", "Z", "3"}, {"b", "x", "4"}},
       "[B]\r\nX=4\r\nZ=3\r\n[A]\r\nY=2\r\n"},
      {"repeated keys and sections kept",
       "[A]\r\nK=1\r\nK=1\r\n[A]\r\nK=1\r\n",
       {{"A", "N", "2"}},
       "[A]\r\nK=1\r\nK=1\r\nN=2\r\n[A]\r\nK=1\r\n"},
  };
}

inline std::string PathFor(const ScratchFolder& folder, const std::string& fileName, Place place) {
  return place == Place::NoFolder ? folder.File("missing-folder") + "/" + fileName
                                  : folder.File(fileName);
}

inline void CheckReads(IniStore& store) {
  const ScratchFolder folder;
  int index = 0;
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE("read case: " + c.name);
    const std::string path = PathFor(folder, "read" + std::to_string(index++) + ".ini", c.place);
    if (c.place == Place::File) WriteFileBytes(path, c.file);
    const std::string got = store.ReadString(path, c.section, c.key, c.defaultValue);
    EXPECT_EQ(got.size(), c.expected.size());
    EXPECT_TRUE(got == c.expected) << "got: " << got.substr(0, 80);
    EXPECT_EQ(store.FileExists(path), c.place == Place::File);
  }
}

inline void CheckWrites(IniStore& store) {
  const ScratchFolder folder;
  int index = 0;
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE("write case: " + c.name);
    const std::string path = folder.File("write" + std::to_string(index++) + ".ini");
    if (c.initial) WriteFileBytes(path, *c.initial);
    for (const WriteStep& step : c.steps) {
      EXPECT_TRUE(store.WriteString(path, step.section, step.key, step.value));
    }
    const std::optional<std::string> bytes = FileBytes(path);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), c.expected.size());
    EXPECT_TRUE(*bytes == c.expected) << "got: " << bytes->substr(0, 200);
  }
}

// What a write does where it cannot: a missing folder is not created, and nothing is written.
inline void CheckRefusals(IniStore& store) {
  const ScratchFolder folder;
  const std::string noFolder = PathFor(folder, "x.ini", Place::NoFolder);
  EXPECT_FALSE(store.WriteString(noFolder, "S", "K", "v"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing-folder"));
  // A folder in the file's place.
  std::filesystem::create_directory(folder.Path() / "folder.ini");
  EXPECT_FALSE(store.WriteString(folder.File("folder.ini"), "S", "K", "v"));
  EXPECT_FALSE(store.FileExists(folder.File("folder.ini")));
  EXPECT_EQ(store.ReadString(folder.File("folder.ini"), "S", "K", "d"), "d");
}

}  // namespace ini_contract
