// The locale of code page 1252 (Western European) for the tests: upper-casing as CharUpperBuffA
// does it there, and a collation in the manner of CompareStringA (letters first by their base
// letter, then by accent, then lower case before upper case).
#include "portable_locale_text.h"

#include "cp1252_utf8.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

unsigned char Byte(char c) {
  return static_cast<unsigned char>(c);
}

char UpperCp1252(char c) {
  const unsigned char b = Byte(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);  // à..þ but ÷
  switch (b) {
    case 0x9A:  // š
    case 0x9C:  // œ
    case 0x9E:  // ž
      return static_cast<char>(b - 0x10);
    case 0xFF:  // ÿ
      return static_cast<char>(0x9F);
    default:
      return c;  // ß and µ have no single upper-case letter in this code page
  }
}

// Collation weights of one collation element. Letters and digits come after every other
// character, letters after digits, as in the Windows sort.
struct Weight {
  std::uint16_t primary;
  std::uint8_t accent;
  std::uint8_t upper;
};

constexpr std::uint16_t kDigitBase = 0x200;
constexpr std::uint16_t kLetterBase = 0x300;

// Accents, in the order they sort after the plain letter.
enum Accent : std::uint8_t {
  kPlain = 0,
  kAcute,
  kGrave,
  kCircumflex,
  kDiaeresis,
  kTilde,
  kRing,
  kCedilla,
  kStroke,
  kCaron,
  kHook,
  kEth,
  kLigature,
  kSuperscript
};

struct LetterInfo {
  char base;  // lower-case base letter; 0 for no letter
  Accent accent;
  bool upper;
};

// Letters of the upper half of the code page; a second letter for the ligatures.
LetterInfo HighLetter(unsigned char b, char& second) {
  second = 0;
  const bool upper = b < 0xE0 && b != 0x83 && b != 0x9A && b != 0x9C && b != 0x9E;
  const unsigned char lower = (b >= 0xC0 && b <= 0xDE) ? static_cast<unsigned char>(b + 0x20) : b;
  switch (lower) {
    case 0x83:
      return {'f', kHook, false};
    case 0x8A:
    case 0x9A:
      return {'s', kCaron, b == 0x8A};
    case 0x8C:
    case 0x9C:
      second = 'e';
      return {'o', kLigature, b == 0x8C};
    case 0x8E:
    case 0x9E:
      return {'z', kCaron, b == 0x8E};
    case 0x9F:
    case 0xFF:
      return {'y', kDiaeresis, b == 0x9F};
    case 0xE0:
      return {'a', kGrave, upper};
    case 0xE1:
      return {'a', kAcute, upper};
    case 0xE2:
      return {'a', kCircumflex, upper};
    case 0xE3:
      return {'a', kTilde, upper};
    case 0xE4:
      return {'a', kDiaeresis, upper};
    case 0xE5:
      return {'a', kRing, upper};
    case 0xE6:
      second = 'e';
      return {'a', kLigature, upper};
    case 0xE7:
      return {'c', kCedilla, upper};
    case 0xE8:
      return {'e', kGrave, upper};
    case 0xE9:
      return {'e', kAcute, upper};
    case 0xEA:
      return {'e', kCircumflex, upper};
    case 0xEB:
      return {'e', kDiaeresis, upper};
    case 0xEC:
      return {'i', kGrave, upper};
    case 0xED:
      return {'i', kAcute, upper};
    case 0xEE:
      return {'i', kCircumflex, upper};
    case 0xEF:
      return {'i', kDiaeresis, upper};
    case 0xF0:
      return {'d', kEth, upper};
    case 0xF1:
      return {'n', kTilde, upper};
    case 0xF2:
      return {'o', kGrave, upper};
    case 0xF3:
      return {'o', kAcute, upper};
    case 0xF4:
      return {'o', kCircumflex, upper};
    case 0xF5:
      return {'o', kTilde, upper};
    case 0xF6:
      return {'o', kDiaeresis, upper};
    case 0xF8:
      return {'o', kStroke, upper};
    case 0xF9:
      return {'u', kGrave, upper};
    case 0xFA:
      return {'u', kAcute, upper};
    case 0xFB:
      return {'u', kCircumflex, upper};
    case 0xFC:
      return {'u', kDiaeresis, upper};
    case 0xFD:
      return {'y', kAcute, upper};
    case 0xFE:
      return {'z' + 1, kPlain, upper};  // thorn sorts after z
    case 0xDF:
      second = 's';
      return {'s', kLigature, false};  // ß
    default:
      return {0, kPlain, false};
  }
}

void AppendWeights(unsigned char b, std::vector<Weight>& out) {
  if (b >= 'a' && b <= 'z') {
    out.push_back({static_cast<std::uint16_t>(kLetterBase + b - 'a'), kPlain, 0});
    return;
  }
  if (b >= 'A' && b <= 'Z') {
    out.push_back({static_cast<std::uint16_t>(kLetterBase + b - 'A'), kPlain, 1});
    return;
  }
  if (b >= '0' && b <= '9') {
    out.push_back({static_cast<std::uint16_t>(kDigitBase + b - '0'), kPlain, 0});
    return;
  }
  if (b == 0xB9 || b == 0xB2 || b == 0xB3) {  // superscript one, two, three
    const int digit = b == 0xB9 ? 1 : b - 0xB0;
    out.push_back({static_cast<std::uint16_t>(kDigitBase + digit), kSuperscript, 0});
    return;
  }
  if (b >= 0x80) {
    char second = 0;
    const LetterInfo letter = HighLetter(b, second);
    if (letter.base != 0) {
      const auto upper = static_cast<std::uint8_t>(letter.upper ? 1 : 0);
      out.push_back(
          {static_cast<std::uint16_t>(kLetterBase + letter.base - 'a'), letter.accent, upper});
      if (second != 0) {
        out.push_back(
            {static_cast<std::uint16_t>(kLetterBase + second - 'a'), letter.accent, upper});
      }
      return;
    }
  }
  out.push_back({static_cast<std::uint16_t>(b), kPlain, 0});  // symbols and controls: by code
}

std::vector<Weight> CollationKey(std::string_view text) {
  std::vector<Weight> key;
  key.reserve(text.size());
  for (const char c : text) AppendWeights(Byte(c), key);
  return key;
}

template <typename Field>
int CompareLevel(const std::vector<Weight>& a, const std::vector<Weight>& b, Field field) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (field(a[i]) != field(b[i])) return field(a[i]) < field(b[i]) ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return 0;
}

// One level of a sort key: each weight plus one, then a 0 byte. A text reaches this level only
// when its primary weights equal the other text's, so both have as many weights here and the
// plain ones at the end can go.
template <typename Field>
void AppendLevel(const std::vector<Weight>& weights, std::string& keys, Field field) {
  std::size_t end = weights.size();
  while (end > 0 && field(weights[end - 1]) == 0) --end;
  for (std::size_t i = 0; i < end; ++i) keys.push_back(static_cast<char>(field(weights[i]) + 1));
  keys.push_back('\0');
}

void FillIfEmpty(std::array<std::string, 12>& names, const char* const (&english)[12]) {
  for (const auto& name : names) {
    if (!name.empty()) return;
  }
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = english[i];
}

void FillIfEmpty(std::array<std::string, 7>& names, const char* const (&english)[7]) {
  for (const auto& name : names) {
    if (!name.empty()) return;
  }
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = english[i];
}

class PortableLocaleText : public LocaleText {
 public:
  explicit PortableLocaleText(TFormatSettings formats) : formats_(std::move(formats)) {
    static const char* const kLongMonths[12] = {"January",   "February", "March",    "April",
                                                "May",       "June",     "July",     "August",
                                                "September", "October",  "November", "December"};
    static const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    static const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    FillIfEmpty(formats_.LongMonthNames, kLongMonths);
    FillIfEmpty(formats_.ShortMonthNames, kShortMonths);
    FillIfEmpty(formats_.LongDayNames, kLongDays);
    FillIfEmpty(formats_.ShortDayNames, kShortDays);
  }

  std::string UpperCase(std::string_view text) override {
    std::string result(text);
    for (char& c : result) c = UpperCp1252(c);
    return result;
  }

  int Compare(std::string_view a, std::string_view b) override {
    const std::vector<Weight> keyA = CollationKey(a), keyB = CollationKey(b);
    if (int r = CompareLevel(keyA, keyB, [](const Weight& w) { return w.primary; })) return r;
    if (int r = CompareLevel(keyA, keyB, [](const Weight& w) { return w.accent; })) return r;
    if (int r = CompareLevel(keyA, keyB, [](const Weight& w) { return w.upper; })) return r;
    // Texts equal at every level are equal only when they are the same bytes, so the order
    // stays total and a sort over it stays consistent.
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
  }

  // The levels of Compare one after the other, each ending with a 0 byte below every weight as
  // written here, so that a text whose weights begin another's sorts first; then the bytes.
  bool AppendSortKey(std::string_view text, std::string& keys) override {
    const std::vector<Weight> weights = CollationKey(text);
    for (const Weight& w : weights) {
      keys.push_back(static_cast<char>((w.primary >> 8) + 1));
      keys.push_back(static_cast<char>(w.primary & 0xFF));
    }
    keys.push_back('\0');
    AppendLevel(weights, keys, [](const Weight& w) { return w.accent; });
    AppendLevel(weights, keys, [](const Weight& w) { return w.upper; });
    keys.append(text);
    return true;
  }

  TFormatSettings FormatSettings() override { return formats_; }
  std::string ToUtf8(std::string_view text) override { return Cp1252ToUtf8(text); }
  std::string FromUtf8(std::string_view utf8) override { return Utf8ToCp1252(utf8); }

 private:
  TFormatSettings formats_;
};

}  // namespace

std::unique_ptr<LocaleText> MakePortableLocaleText(TFormatSettings formats) {
  return std::make_unique<PortableLocaleText>(std::move(formats));
}

LocaleText& CodePage1252() {
  static PortableLocaleText locale{TFormatSettings{}};
  return locale;
}
