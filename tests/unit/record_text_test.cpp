#include "inventory/record_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Lengths on both sides of the in-place limit, and texts far beyond it.
std::vector<std::string> SampleTexts() {
  std::vector<std::string> texts = {"",
                                    "K",
                                    "KB1234567",
                                    std::string(14, 'a'),
                                    "Security Update",  // 15: the longest held in place
                                    "NT AUTHORITY\\SYSTEM",
                                    std::string(16, 'b'),
                                    std::string(100000, 'c'),
                                    std::string("nul\0inside", 10),
                                    std::string("\xE9t\xE9 \xFF\x80", 6)};
  return texts;
}

void ExpectHolds(const RecordText& text, const std::string& expected) {
  ASSERT_EQ(text.size(), expected.size());
  EXPECT_EQ(text.empty(), expected.empty());
  EXPECT_EQ(std::string(text.data(), text.size()), expected);
  EXPECT_EQ(text.c_str()[expected.size()], '\0') << "not NUL-terminated";
  EXPECT_EQ(text.str(), expected);
  EXPECT_TRUE(text == expected);
}

TEST(RecordText, KeepsEveryTextExactlyWhateverItsLength) {
  for (const std::string& sample : SampleTexts()) {
    SCOPED_TRACE("length " + std::to_string(sample.size()));
    const RecordText text(sample);
    ExpectHolds(text, sample);

    // Copies may share a block: each keeps its text whichever of them goes first.
    auto original = std::make_unique<RecordText>(text);
    RecordText copy(*original);
    RecordText assigned;
    assigned = copy;
    original.reset();
    ExpectHolds(copy, sample);
    copy = RecordText();
    ExpectHolds(assigned, sample);
    ExpectHolds(text, sample);
  }
}

TEST(RecordText, AMovedFromTextIsEmptyAndUsable) {
  for (const std::string& sample : SampleTexts()) {
    SCOPED_TRACE("length " + std::to_string(sample.size()));
    RecordText from(sample);
    RecordText to(std::move(from));
    ExpectHolds(to, sample);
    ExpectHolds(from, "");  // NOLINT(bugprone-use-after-move): the moved-from state is defined
    from = "again";
    ExpectHolds(from, "again");
  }
}

TEST(RecordText, EveryAssignmentReplacesTheWholeText) {
  const std::vector<std::string> samples = SampleTexts();
  for (const std::string& before : samples) {
    for (const std::string& after : samples) {
      SCOPED_TRACE(std::to_string(before.size()) + " then " + std::to_string(after.size()));
      RecordText text(before);
      text = after;
      ExpectHolds(text, after);
      RecordText other(before);
      other = text;
      ExpectHolds(other, after);
      ExpectHolds(text, after);
    }
  }
}

TEST(RecordText, AssigningItselfOrPartOfItselfIsSafe) {
  for (const std::string& sample : SampleTexts()) {
    SCOPED_TRACE("length " + std::to_string(sample.size()));
    RecordText text(sample);
    const RecordText& same = text;
    text = same;
    ExpectHolds(text, sample);
    text = std::string_view(text).substr(sample.size() / 2);
    ExpectHolds(text, sample.substr(sample.size() / 2));
  }
}

TEST(RecordText, ComparesAndPrintsAsItsCharacters) {
  const RecordText text("KB42");
  EXPECT_TRUE(text == "KB42");
  EXPECT_TRUE("KB42" == text);
  EXPECT_FALSE(text == "KB4");
  EXPECT_FALSE(text == "KB420");
  EXPECT_TRUE(text == RecordText("KB42"));
  EXPECT_FALSE(RecordText("") == RecordText(std::string(1, '\0')));
  std::ostringstream out;
  out << RecordText(std::string(20, 'x')) << '|' << text;
  EXPECT_EQ(out.str(), std::string(20, 'x') + "|KB42");
}

}  // namespace
