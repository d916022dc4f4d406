// The Windows collation's sort keys (LCMapStringA) against its comparison (CompareStringA), in
// the locales of the program's users: a sort ranks the texts of a column by their keys, so the
// keys must order every two texts exactly as the comparison does, ties included.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/locale_text_win32.h"
#include "collation_texts.h"

namespace {

using namespace collation_texts;

struct LocaleCase {
  const char* name;
  std::uint32_t id;
};

class SortKeyOrder : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(SortKeyOrder, KeysOrderTextsAsCompareStringADoes) {
  const auto locale = MakeWindowsLocaleText(GetParam().id);
  std::vector<std::string> table = AwkwardTexts();
  for (const std::string& text : AwkwardTexts()) table.push_back(locale->UpperCase(text));
  std::vector<std::string> many = OneAndTwoByteTexts();
  for (const std::string& text : GeneratedTexts(20000, GetParam().id)) many.push_back(text);
  const struct {
    const char* what;
    Agreement agreement;
  } checks[] = {{"every pair of the table", EveryPair(*locale, table)},
                {"every pair of generated texts", EveryPair(*locale, GeneratedTexts(1000, 7))},
                {"neighbours in key order", Neighbours(*locale, many)}};
  for (const auto& check : checks) {
    EXPECT_EQ(check.agreement.withoutKey, 0u) << check.what;
    EXPECT_EQ(check.agreement.disagreements, std::vector<std::string>{}) << check.what;
  }
  // The collation ignores some characters (the soft hyphen, NUL, the bytes code page 1252 does
  // not define), so it finds texts equal whose bytes differ: their keys must be equal too.
  EXPECT_GT(checks[0].agreement.equalButDifferent, 0u);
  RecordProperty("pairs_compared",
                 static_cast<int>(checks[0].agreement.pairs + checks[1].agreement.pairs +
                                  checks[2].agreement.pairs));
}

INSTANTIATE_TEST_SUITE_P(Locales, SortKeyOrder,
                         ::testing::Values(LocaleCase{"EnglishUnitedStates", 0x0409},
                                           LocaleCase{"FrenchFrance", 0x040C},
                                           LocaleCase{"GermanGermany", 0x0407},
                                           LocaleCase{"UserDefault", LOCALE_USER_DEFAULT}),
                         [](const auto& info) { return std::string(info.param.name); });

// The key as LCMapStringA gives it when first asked its size: the adapter's first guess of room
// must never cut a key short, and the empty text (which LCMapStringA refuses as such) must get
// the key of no characters.
TEST(WindowsLocaleText, SortKeysAreWholeWhateverTheirLength) {
  const auto locale = MakeWindowsLocaleText();
  for (const std::string& text :
       {std::string(), std::string("a"), std::string(100000, 'a'), std::string(100000, '\xE6'),
        std::string(20000, '-') + "\xC6\x8C\xDF"}) {
    const char* source = text.empty() ? "" : text.data();
    const int length = text.empty() ? -1 : static_cast<int>(text.size());
    const int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length, nullptr, 0);
    ASSERT_GT(size, 0) << text.size();
    std::string expected(static_cast<std::size_t>(size), '\0');
    ASSERT_EQ(
        LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, source, length, expected.data(), size),
        size);
    std::string keys = "kept";
    ASSERT_TRUE(locale->AppendSortKey(text, keys)) << text.size();
    EXPECT_EQ(keys, "kept" + expected) << text.size();
  }
}

TEST(WindowsLocaleText, NoSortKeyFromALocaleWindowsDoesNotKnow) {
  const auto locale = MakeWindowsLocaleText(0x7FFF0000);
  std::string keys = "kept";
  EXPECT_FALSE(locale->AppendSortKey("abc", keys));
  EXPECT_EQ(keys, "kept");
}

}  // namespace
