#pragma once
// What every fuzz target shares: a check that stops the run with a message (libFuzzer keeps the
// input that caused it), and readers of the fuzzer's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Unlike assert, it stays on in optimised builds, which is how the fuzz preset is built.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace fuzz {

// A text of at most `maxLength` bytes, any byte allowed (zeros included).
inline std::string Text(FuzzedDataProvider& data, std::size_t maxLength = 300) {
  return data.ConsumeRandomLengthString(maxLength);
}

// A text that is sometimes far longer than anything the program writes itself.
inline std::string MaybeHuge(FuzzedDataProvider& data, std::size_t maxLength = 300) {
  std::string text = Text(data, maxLength);
  if (!text.empty() && data.ConsumeBool()) {
    text = std::string(data.ConsumeIntegralInRange<std::size_t>(0, 12000), text.front()) + text;
  }
  return text;
}

}  // namespace fuzz
