// "Copier" puts the rows on the clipboard as aligned text; "Lien Web" opens the focused row's
// page through the link template.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "writers/copy_text.h"
#include "list_rows_test_support.h"
#include "main_form_fakes.h"

namespace {

using namespace list_rows;

class CopyAndLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TMainForm& form = fixture.Build();
    form.Settings.DefChar = " | ";  // the separator once start-up has unquoted it
    form.Settings.NbrChar = 1;
    form.Settings.MsKbId = "https://support.example.com/kb/%s";
  }
  TMainForm& Form() { return *fixture.form; }

  std::vector<PVirtualNode> AddRows(const std::vector<Row>& rows) {
    return list_rows::AddRows(Form().vst, rows);
  }

  std::string Copy() {
    Form().BtnCopyClick();
    return fixture.clipboard.text;
  }

  MainFormFixture fixture;
};

struct CopyCase {
  const char* name;
  std::vector<Row> rows;
  std::string defChar;
  int nbrChar;
  std::string expected;
};

TEST_F(CopyAndLinkTest, CopyTextByteForByte) {
  const std::vector<CopyCase> cases = {
      {"one row, unpadded",
       {{"KB1234567", "2/22/2022", "Update", "NT AUTHORITY\\SYSTEM"}},
       " | ",
       1,
       "KB1234567 | 2/22/2022 | Update | NT AUTHORITY\\SYSTEM\r\n"},
      {"shorter texts padded, the last column too",
       {{"KB1", "1/1/2000", "Update", "a"}, {"KB22", "12/31/2000", "Security Update", "abcd"}},
       " | ",
       1,
       "KB1  | 1/1/2000   | Update          | a   \r\n"
       "KB22 | 12/31/2000 | Security Update | abcd\r\n"},
      {"empty column has width 0",
       {{"KB1", "", "d", "x"}, {"KB2", "", "dd", "y"}},
       " | ",
       1,
       "KB1 |  | d  | x\r\n"
       "KB2 |  | dd | y\r\n"},
      {"separator of three dashes",
       {{"KB1", "1/1/2000", "d", "x"}},
       "-",
       3,
       "KB1---1/1/2000---d---x\r\n"},
      {"no separator",
       {{"KB1", "a", "bb", "c"}, {"KB", "", "b", ""}},
       " | ",
       0,
       "KB1abbc\r\nKB  b  \r\n"},
      {"negative count is no separator", {{"KB1", "a", "b", "c"}}, "-", -5, "KB1abc\r\n"},
      {"separator of several characters", {{"1", "2", "3", "4"}}, "<>", 2, "1<><>2<><>3<><>4\r\n"},
      {"code page bytes count one each",
       {{"KB1", "1/1/2000", "Mise \xE0 jour", "\xC9"}, {"KB2", "1/1/2000", "Correctif", "ab"}},
       ";",
       1,
       "KB1;1/1/2000;Mise \xE0 jour;\xC9 \r\nKB2;1/1/2000;Correctif  ;ab\r\n"},
  };
  for (const CopyCase& c : cases) {
    MainFormFixture local;
    TMainForm& form = local.Build();
    form.Settings.DefChar = c.defChar;
    form.Settings.NbrChar = c.nbrChar;
    form.vst.SetSortColumn(NoColumn);  // the rows stay in the order given
    list_rows::AddRows(form.vst, c.rows);
    form.BtnCopyClick();
    EXPECT_EQ(local.clipboard.text, c.expected) << c.name;
    EXPECT_EQ(local.clipboard.writes, 1) << c.name;
    EXPECT_EQ(local.dialogs.beeps, 0) << c.name;
  }
}

TEST_F(CopyAndLinkTest, RowsFollowTheSortOrderMatchedOrNot) {
  Form().vst.SetSortColumn(0);
  Form().vst.SetSortDirection(sdDescending);
  AddRows({{"KB5", "", "", "", 0}, {"KB123", "", "", "", 1}, {"KB95", "", "", "", 0}});
  EXPECT_EQ(Copy(), "KB123 |  |  | \r\nKB95  |  |  | \r\nKB5   |  |  | \r\n");
}

TEST_F(CopyAndLinkTest, EmptyListBeepsAndLeavesTheClipboard) {
  Form().ColumnTextWidths = {7, 8, 9, 10};
  EXPECT_EQ(Copy(), "(previous content)");
  EXPECT_EQ(fixture.clipboard.writes, 0);
  EXPECT_EQ(fixture.dialogs.beeps, 1);
  Form().MeasureColumns();
  EXPECT_EQ(Form().ColumnTextWidths, (std::array<int, 4>{7, 8, 9, 10}));
}

TEST_F(CopyAndLinkTest, WidthsAreMeasuredAfreshByEveryCopy) {
  auto nodes = AddRows({{"KB1234567890", "1/1/2000", "long description", "someone"}});
  EXPECT_EQ(Form().ColumnTextWidths, (std::array<int, 4>{}));
  Copy();
  EXPECT_EQ(Form().ColumnTextWidths, (std::array<int, 4>{12, 8, 16, 7}));
  Form().vst.ClearNodes();
  AddRows({{"KB1", "", "d", "x"}});
  EXPECT_EQ(Copy(), "KB1 |  | d | x\r\n");
  EXPECT_EQ(Form().ColumnTextWidths, (std::array<int, 4>{3, 0, 1, 1}));
}

TEST_F(CopyAndLinkTest, RowsWithoutRecordAreLeftOut) {
  Form().vst.SetSortColumn(NoColumn);
  Form().vst.AppendNode();
  AddRows({{"KB1", "a", "b", "c"}});
  Form().vst.AppendNode();
  EXPECT_EQ(Copy(), "KB1 | a | b | c\r\n");
}

TEST_F(CopyAndLinkTest, LongAndOddTextsAreCopiedWhole) {
  const std::string longText(10000, 'x');
  const std::string bytes("\x80\xFF\x01\xE9", 4);
  Form().vst.SetSortColumn(NoColumn);
  AddRows({{"KB1", longText, bytes, ""}, {"", "", "", ""}});
  const std::string expected = "KB1 | " + longText + " | " + bytes + " | \r\n" + "    | " +
                               std::string(10000, ' ') + " |      | \r\n";
  EXPECT_EQ(Copy(), expected);
}

TEST(SeparatorString, DefCharRepeatedNbrCharTimes) {
  struct Case {
    std::string defChar;
    int nbrChar;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {" | ", 1, " | "}, {"-", 3, "---"},         {"-", 0, ""}, {"-", -1, ""}, {"", 5, ""},
      {"ab", 2, "abab"}, {"\xE9", 2, "\xE9\xE9"},
  };
  MainFormFixture fixture;
  TMainForm& form = fixture.Build();
  for (const Case& c : cases) {
    form.Settings.DefChar = c.defChar;
    form.Settings.NbrChar = c.nbrChar;
    EXPECT_EQ(form.SeparatorString(), c.expected) << c.defChar << " x " << c.nbrChar;
  }
}

TEST(PadRight, PadsNeverCuts) {
  struct Case {
    std::string text;
    int width;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"abc", 0, "abc"}, {"abc", 5, "abc  "}, {"abcdef", 3, "abcdef"}, {"abc", 3, "abc"},
      {"", 3, "   "},    {"", 0, ""},         {"abc", -2, "abc"},      {"\xE9", 3, "\xE9  "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PadRight(c.text, c.width), c.expected) << c.text << " to " << c.width;
  }
  EXPECT_EQ(PadRight(std::string(10000, 'a'), 5), std::string(10000, 'a'));
}

TEST(BuildCopyText, NarrowerWidthsNeverCutATextAndNoRowsGiveNothing) {
  TTreeDataClass record;
  record.HotFixID = "KB123";
  record.InstalledOn = "1/1/2000";
  EXPECT_EQ(BuildCopyText({&record}, {2, 0, -4, 1}, "|"), "KB123|1/1/2000|| \r\n");
  EXPECT_EQ(BuildCopyText({}, {1, 1, 1, 1}, "|"), "");
}

// A copy over the limit is refused from its measured length: not one line of it is built.
TEST(BuildCopyText, ATextOverTheLimitIsRefusedBeforeItIsBuilt) {
  TTreeDataClass record;
  record.HotFixID = "KB1";
  const std::vector<const TTreeDataClass*> rows(100, &record);
  const std::array<int, 4> widths{0, 0, 1000, 0};
  const std::uint64_t length = 100 * (3 + 1000 + 3 * 3 + 2);
  EXPECT_EQ(BuildCopyText(rows, widths, " | ", length).size(), length);
  CountedAllocations counted;
  EXPECT_THROW(BuildCopyText(rows, widths, " | ", length - 1), EFixtallyError);
  EXPECT_LT(counted.Bytes(), 1000u) << "the text was built, then refused";
}

// One huge text pads every line to its width (3,001 lines of 100,000 characters), or a settings
// file asks for a huge separator (2,000,000,000 characters): the copy is refused with the
// message before its text is built, and the clipboard keeps what it had.
TEST_F(CopyAndLinkTest, ACopyTooLongIsRefusedBeforeItIsBuilt) {
  const std::string expected = "Le texte à copier est trop long pour le Presse-papiers";
  Form().vst.SetSortColumn(NoColumn);
  std::vector<Row> rows(3000, Row{"KB2", "", "", ""});
  rows.push_back({"KB1", "", std::string(100000, 'd'), ""});
  AddRows(rows);
  {
    CountedAllocations counted;
    Form().RunUserAction([this] { Form().BtnCopyClick(); });
    EXPECT_LT(counted.Bytes(), 1u << 20) << "the 300 MB text was built, then refused";
  }
  ASSERT_EQ(fixture.dialogs.errorReports.size(), 1u);
  EXPECT_EQ(fixture.dialogs.errorReports[0], expected);

  Form().vst.ClearNodes();
  AddRows({{"KB1", "", "", ""}});
  Form().Settings.DefChar = "-";
  Form().Settings.NbrChar = 2000000000;
  {
    CountedAllocations counted;
    Form().RunUserAction([this] { Form().BtnCopyClick(); });
    EXPECT_LT(counted.Bytes(), 1u << 20) << "the separator was built, then refused";
  }
  ASSERT_EQ(fixture.dialogs.errorReports.size(), 2u);
  EXPECT_EQ(fixture.dialogs.errorReports[1], expected);
  EXPECT_EQ(fixture.clipboard.text, "(previous content)");
  EXPECT_EQ(fixture.clipboard.writes, 0);
}

struct LinkCase {
  std::string id;
  std::string expected;
};

TEST_F(CopyAndLinkTest, WebLinkOpensTheFocusedRowsPage) {
  const std::vector<LinkCase> cases = {
      {"KB1234", "https://support.example.com/kb/1234"},
      {"kb1234", "https://support.example.com/kb/1234"},
      {"Q1234", "https://support.example.com/kb/Q1234"},
      {"KBKB1", "https://support.example.com/kb/KB1"},
      {"KB12a-fr", "https://support.example.com/kb/12a-fr"},
      {"", "https://support.example.com/kb/"},
      {"ERROR:HotFixID", "https://support.example.com/kb/ERROR:HotFixID"},
  };
  for (const LinkCase& c : cases) {
    fixture.shell.opened.clear();
    Form().vst.ClearNodes();
    const auto nodes = AddRows({{"KB999", "", "", ""}, {c.id, "", "", ""}});
    Form().vst.FocusNode(nodes[1]);
    Form().BtnLinkWebClick();
    EXPECT_EQ(fixture.shell.opened, std::vector<std::string>{c.expected}) << c.id;
  }
  EXPECT_EQ(fixture.dialogs.beeps, 0);
}

TEST_F(CopyAndLinkTest, WebLinkWithoutFocusedRowBeeps) {
  Form().BtnLinkWebClick();  // empty list
  AddRows({{"KB1", "", "", ""}});
  Form().BtnLinkWebClick();  // rows, none focused
  EXPECT_EQ(fixture.dialogs.beeps, 2);
  EXPECT_TRUE(fixture.shell.opened.empty());
}

TEST_F(CopyAndLinkTest, WebLinkOnARowWithoutRecordDoesNothing) {
  Form().vst.SetSortColumn(NoColumn);
  PVirtualNode empty = Form().vst.AppendNode();
  Form().vst.FocusNode(empty);
  Form().BtnLinkWebClick();
  EXPECT_EQ(fixture.dialogs.beeps, 0);
  EXPECT_TRUE(fixture.shell.opened.empty());
}

TEST_F(CopyAndLinkTest, LongAddressIsHandedOverWhole) {
  Form().Settings.MsKbId = "https://support.example.com/" + std::string(1990, 'p') + "/%s";
  const auto nodes = AddRows({{"KB1234567", "", "", ""}});
  Form().vst.FocusNode(nodes[0]);
  Form().BtnLinkWebClick();
  ASSERT_EQ(fixture.shell.opened.size(), 1u);
  EXPECT_EQ(fixture.shell.opened[0],
            "https://support.example.com/" + std::string(1990, 'p') + "/1234567");
  EXPECT_GT(fixture.shell.opened[0].size(), 2000u);
}

TEST_F(CopyAndLinkTest, BadTemplateIsReportedAndOpensNothing) {
  struct Case {
    std::string templ;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"https://support.example.com/kb/%d",
       "Le format 'https://support.example.com/kb/' est incorrect ou incompatible avec "
       "l'argument"},
      {"%s and %s", "Aucun argument pour le format '%s and %s'"},
  };
  const auto nodes = AddRows({{"KB1", "", "", ""}});
  Form().vst.FocusNode(nodes[0]);
  for (const Case& c : cases) {
    fixture.dialogs.errorReports.clear();
    Form().Settings.MsKbId = c.templ;
    Form().RunUserAction([this] { Form().BtnLinkWebClick(); });
    EXPECT_EQ(fixture.dialogs.errorReports, std::vector<std::string>{c.message}) << c.templ;
  }
  EXPECT_TRUE(fixture.shell.opened.empty());
}

TEST_F(CopyAndLinkTest, DoubleClickOpensTheSamePageAsTheButton) {
  const auto nodes = AddRows({{"KB1", "", "", ""}, {"KB2", "", "", ""}});
  Form().vst.UserClickNode(nodes[1]);
  Form().vst.DoubleClick();
  Form().BtnLinkWebClick();
  EXPECT_EQ(fixture.shell.opened, (std::vector<std::string>{"https://support.example.com/kb/2",
                                                            "https://support.example.com/kb/2"}));
}

}  // namespace
