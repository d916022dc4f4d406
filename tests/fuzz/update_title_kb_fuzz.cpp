// Update titles and SOURCES values of any content: the KB found is the first "KB" word with
// digits, read as the KB column reads it, and the sources named are those words alone.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "inventory/kb_rules.h"
#include "inventory/update_sources.h"
#include "inventory/update_title_kb.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Where the first KB word with a digit after it starts, or npos.
std::size_t FirstKbWord(const std::string& text) {
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    const bool kb = (text[i] | 0x20) == 'k' && (text[i + 1] | 0x20) == 'b';
    if (kb && (i == 0 || !IsAlnum(text[i - 1])) && IsDigit(text[i + 2])) return i;
  }
  return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::string title = fuzz::MaybeHuge(data);
  const std::int32_t kb = KbInText(title);
  FUZZ_CHECK(kb >= 0);
  const std::size_t at = FirstKbWord(title);
  FUZZ_CHECK(kb == (at == std::string::npos ? 0 : KbNumber(title.substr(at))));
  // Text around the title changes nothing when it cannot glue onto the KB word.
  FUZZ_CHECK(KbInText("(" + title + ")") == kb || at == std::string::npos);
  FUZZ_CHECK(KbInText("Update " + title) == kb || at == std::string::npos);

  const std::string sources = fuzz::Text(data);
  const UpdateSources parsed = ParseUpdateSources(sources);
  const UpdateSources withWu = ParseUpdateSources(sources + ",wU");
  FUZZ_CHECK(withWu.windowsUpdate && withWu.servicingPackages == parsed.servicingPackages);
  FUZZ_CHECK(ParseUpdateSources("Cbs " + sources).servicingPackages);
  FUZZ_CHECK(ParseUpdateSources(sources + ";QFE") == parsed);
  // Where the command line accepts the words, it reads them as the setting does.
  UpdateSources strict;
  if (ReadUpdateSourcesStrictly(sources, strict)) FUZZ_CHECK(strict == parsed);
  FUZZ_CHECK(!ReadUpdateSourcesStrictly(sources + ",WSUS", strict));
  return 0;
}
