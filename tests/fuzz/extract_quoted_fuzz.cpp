// The copy separator's quotes over any text: either the text between the first quote and the
// next one within reach, or the text unchanged. Half the inputs are built quoted, with what the
// quotes hold known in advance.
#include <cstdint>
#include <string>

#include "Systeme/extract_quoted.h"
#include "fuzz_support.h"

namespace {

std::string WithoutQuotes(std::string text) {
  for (char& c : text) {
    if (c == '"') c = '\'';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) {
    // Blanks before, up to 270 characters between the quotes (259 are within reach), anything
    // after.
    const std::string before = WithoutQuotes(fuzz::Text(data, 40));
    std::string inside = WithoutQuotes(fuzz::Text(data, 40));
    inside.append(data.ConsumeIntegralInRange<std::size_t>(0, 230), 'x');
    const std::string text = before + "\"" + inside + "\"" + data.ConsumeRemainingBytesAsString();
    const std::string result = ExtractQuoted(text);
    FUZZ_CHECK(result == (inside.size() <= 259 ? inside : text));
    return 0;
  }

  const std::string text = fuzz::Text(data, 600);
  const std::string result = ExtractQuoted(text);
  const std::size_t open = text.find('"');
  const std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
  if (close == std::string::npos || close - open - 1 > 259) {
    FUZZ_CHECK(result == text);
  } else {
    FUZZ_CHECK(result == text.substr(open + 1, close - open - 1));
  }
  return 0;
}
