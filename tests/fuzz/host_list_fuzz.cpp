// Any file given to /hosts:: names come out trimmed, one per line, never empty, UTF-8; a plain
// ASCII file gives exactly its lines with comments and blanks taken away.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/utf8_text.h"
#include "console/host_list.h"
#include "fuzz_support.h"
#include "cp1252_utf8.h"

namespace {

std::vector<std::string> AsciiLines(std::string_view text) {
  std::vector<std::string> names;
  std::string line;
  const auto flush = [&] {
    line = line.substr(0, line.find('#'));
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos) {
      names.push_back(line.substr(first, line.find_last_not_of(" \t") - first + 1));
    }
    line.clear();
  };
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      flush();
    } else {
      line.push_back(c);
    }
  }
  flush();
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const HostList list = ParseHostList(text, Cp1252ToUtf8);
  if (!list.error.empty()) {
    FUZZ_CHECK(list.hosts.empty());
    return 0;
  }
  for (const std::string& host : list.hosts) {
    FUZZ_CHECK(!host.empty());
    FUZZ_CHECK(IsValidUtf8(host));  // every name goes on as UTF-8, whatever the file's encoding
    FUZZ_CHECK(host.find_first_of("\r\n#") == std::string::npos);
    FUZZ_CHECK(host.front() != ' ' && host.front() != '\t');
    FUZZ_CHECK(host.back() != ' ' && host.back() != '\t');
  }
  bool ascii = !text.starts_with("\xFF\xFE") && !text.starts_with("\xFE\xFF");
  for (const char c : text) ascii = ascii && c != '\0' && static_cast<unsigned char>(c) < 0x80;
  if (ascii) FUZZ_CHECK(list.hosts == AsciiLines(text));
  return 0;
}
