// The copy separator's quotes over any text: either the text between the first quote and the
// next one within reach, or the text unchanged.
#include <cstdint>
#include <string>

#include "Systeme/extract_quoted.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::string text = fuzz::Text(data, 600);
  if (data.ConsumeBool()) {
    // A closing quote near the edge of the 260 characters that are searched.
    const std::size_t gap = data.ConsumeIntegralInRange<std::size_t>(250, 270);
    text += "\"" + std::string(gap, 'x') + "\"" + data.ConsumeRemainingBytesAsString();
  }

  const std::string result = ExtractQuoted(text);
  const std::size_t open = text.find('"');
  if (result == text) return 0;
  FUZZ_CHECK(open != std::string::npos);
  FUZZ_CHECK(result.size() <= 259);
  FUZZ_CHECK(result.find('"') == std::string::npos);
  FUZZ_CHECK(text.compare(open, result.size() + 2, "\"" + result + "\"") == 0);
  return 0;
}
