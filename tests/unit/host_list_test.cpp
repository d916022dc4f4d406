// The /hosts: file: one name per line, whatever the editor or shell that wrote it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/host_list.h"
#include "cp1252_utf8.h"

namespace {

using namespace std::string_literals;

TEST(HostList, NamesFromFilesOfEveryKind) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> hosts;
    std::string error;  // its beginning
  } cases[] = {
      {"empty file", "", {}, ""},
      {"LF, last line unended", "srv1\nsrv2", {"srv1", "srv2"}, ""},
      {"CR LF, blanks, blank lines", "  srv1\t\r\n\r\n \t \r\nsrv2 \r\n", {"srv1", "srv2"}, ""},
      {"CR alone", "a\rb\r", {"a", "b"}, ""},
      {"comments", "# serveurs\nsrv1  # contrôleur\n#srv2\n", {"srv1"}, ""},
      {"repeats kept", "a\na\n", {"a", "a"}, ""},
      {"ANSI", "SRV-\xC9T\xC9\r\n", {"SRV-\xC3\x89T\xC3\x89"}, ""},
      {"UTF-8 without mark", "SRV-\xC3\x89T\xC3\x89\n", {"SRV-\xC3\x89T\xC3\x89"}, ""},
      {"UTF-8 with mark",
       "\xEF\xBB\xBF"
       "a\r\nSRV-\xC3\x89T\xC3\x89\r\n",
       {"a", "SRV-\xC3\x89T\xC3\x89"},
       ""},
      {"UTF-8 mark, then a bad byte",
       "\xEF\xBB\xBF"
       "a\xFF"
       "b\n",
       {"a\xEF\xBF\xBD"
        "b"},
       ""},
      {"UTF-16 LE (PowerShell 5 >)",
       "\xFF\xFE"
       "a\0\xC9\0\r\0\n\0#\0x\0\n\0b\0"s,
       {"a\xC3\x89", "b"},
       ""},
      {"UTF-16 BE", "\xFE\xFF\0a\0\n\0b"s, {"a", "b"}, ""},
      {"UTF-16 surrogate pair, odd byte",
       "\xFF\xFE"
       "a\0=\xD8\0\xDE\n\0b\0c"s,
       {"a\xF0\x9F\x98\x80", "b"},
       ""},
      {"zero byte without a mark",
       "a\0\0\0"s,
       {},
       "Le fichier des ordinateurs contient un octet nul"},
  };
  for (const auto& c : cases) {
    const HostList list = ParseHostList(c.bytes, Cp1252ToUtf8);
    EXPECT_EQ(list.hosts, c.hosts) << c.name;
    EXPECT_EQ(list.error.substr(0, c.error.size()), c.error) << c.name;
    EXPECT_EQ(list.error.empty(), c.error.empty()) << c.name;
  }
}

}  // namespace
