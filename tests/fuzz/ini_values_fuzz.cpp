// The settings file's value rules over any text: the integer and boolean readers, the blanks,
// the default and the buffer copy the Windows profile API makes.
#include <cstdint>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "settings/ini_values.h"

namespace {

// Answers every read with one given text, as a file holding it for every key would.
class OneValueStore : public IniStore {
 public:
  explicit OneValueStore(std::string value) : value_(std::move(value)) {}
  bool FileExists(const std::string&) override { return true; }
  std::string ReadString(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
    return value_;
  }
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string& value) override {
    written = value;
    return true;
  }
  std::string PathForMessage(const std::string& path) override { return path; }
  std::string written;

 private:
  std::string value_;
};

void CheckInteger(const std::string& text, std::int32_t defaultValue) {
  const auto parsed = ParseInteger(text);
  const std::int32_t read = StrToIntDef(text, defaultValue);
  FUZZ_CHECK(read == (parsed ? *parsed : defaultValue));
  if (parsed) {
    // What the program writes for a value reads back as that value.
    FUZZ_CHECK(ParseInteger(IntegerText(*parsed)) == parsed);
    // Only the integer syntax is accepted: no blanks after it, no empty digit run.
    FUZZ_CHECK(!text.empty() && !IsProfileBlank(text.back()));
  }

  OneValueStore store(text);
  FUZZ_CHECK(ReadInteger(store, "f", "S", "K", defaultValue) == read);
  const bool asBool = ReadBool(store, "f", "S", "K", defaultValue != 0);
  FUZZ_CHECK(asBool == (parsed ? *parsed != 0 : defaultValue != 0));
  WriteBool(store, "f", "S", "K", asBool);
  OneValueStore rewritten(store.written);
  FUZZ_CHECK(ReadBool(rewritten, "f", "S", "K", !asBool) == asBool);
}

void CheckProfileRules(const std::string& text) {
  const std::string_view trimmed = TrimProfileBlanks(text);
  FUZZ_CHECK(trimmed.empty() ||
             (!IsProfileBlank(trimmed.front()) && !IsProfileBlank(trimmed.back())));
  FUZZ_CHECK(std::string_view(text).find(trimmed) != std::string_view::npos);

  const std::string defaultText = ProfileDefault(text);
  FUZZ_CHECK(defaultText.size() <= text.size());
  FUZZ_CHECK(text.compare(0, defaultText.size(), defaultText) == 0);
  FUZZ_CHECK(defaultText.size() <= 1 || defaultText.back() != ' ');

  for (const bool removeQuotes : {false, true}) {
    const std::string copied = ProfileCopy(text, removeQuotes);
    FUZZ_CHECK(copied.size() <= kIniBufferSize - 1);
    if (!removeQuotes) FUZZ_CHECK(text.compare(0, copied.size(), copied) == 0);
    if (removeQuotes && copied.size() + 2 == text.size() && text.size() < kIniBufferSize - 1) {
      FUZZ_CHECK(text.compare(1, copied.size(), copied) == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const auto defaultValue = data.ConsumeIntegral<std::int32_t>();
  const std::string text = fuzz::MaybeHuge(data, 4000);
  CheckInteger(text, defaultValue);
  CheckProfileRules(text);
  return 0;
}
