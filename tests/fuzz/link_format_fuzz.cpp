// The web-link template is the user's own text: any template with any argument either gives an
// address or raises the program's error, and never reads the argument as anything but a text.
#include <cstdint>
#include <string>

#include "Systeme/errors.h"
#include "fuzz_support.h"
#include "list/link_format.h"

namespace {

std::size_t CountOf(const std::string& text, char c) {
  std::size_t count = 0;
  for (const char x : text) count += x == c ? 1 : 0;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::string argument = fuzz::MaybeHuge(data, 100);
  const std::string templ = data.ConsumeRemainingBytesAsString();

  std::string address;
  try {
    address = FormatWithOneText(templ, argument);
  } catch (const EFixtallyError& error) {
    const std::string message = error.what();
    FUZZ_CHECK(message.rfind("Le format '", 0) == 0 || message.rfind("Aucun argument", 0) == 0);
    FUZZ_CHECK(CountOf(templ, '%') > 0);
    return 0;
  }
  if (CountOf(templ, '%') == 0) FUZZ_CHECK(address == templ);
  // Every directive writes at most the argument or its width of blanks.
  const std::size_t widest = std::max<std::size_t>(argument.size(), kMaxFormatWidth);
  FUZZ_CHECK(address.size() <= templ.size() + CountOf(templ, '%') * widest);

  // The plain directive gives the argument whole, wherever it stands.
  FUZZ_CHECK(FormatWithOneText("%s", argument) == argument);
  FUZZ_CHECK(FormatWithOneText("a%%b%0:s", argument) == "a%b" + argument);
  return 0;
}
