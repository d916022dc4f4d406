// The scan through its ports: a scripted WMI, the list model, and the recording fakes of the
// main window. Each WMI step failing with each code: fault_injection_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "app/main_form.h"
#include "main_form_fakes.h"
#include "scripted_hotfix_source.h"

namespace {

using namespace scripted_wmi;

class HotfixScanTest : public ::testing::Test {
 protected:
  HotfixScanTest() {
    TFormatSettings french;
    french.DateSeparator = '/';
    french.ShortDateFormat = "dd/MM/yyyy";
    french.LongTimeFormat = "HH:mm:ss";
    UseFormats(french);
  }

  void UseFormats(const TFormatSettings& formats) {
    f.locale = MakePortableLocaleText(formats);
    f.form.reset();
  }

  TMainForm& Form() {
    if (!f.form) {
      f.source = &source;
      TMainForm& form = f.Build();
      // As at start-up: the first node fixes the size of the record slot.
      form.vst.SetRootNodeCount(1);
      form.vst.SetRootNodeCount(0);
    }
    return *f.form;
  }

  std::vector<TTreeDataClass> Rows() {
    std::vector<TTreeDataClass> rows;
    for (PVirtualNode node = Form().vst.FirstNode(); node; node = Form().vst.NextNode(node)) {
      RecordSlot* slot = Form().vst.NodeRecord(node);
      if (slot && *slot) rows.push_back(**slot);
    }
    std::sort(rows.begin(), rows.end(), [](const TTreeDataClass& a, const TTreeDataClass& b) {
      return std::string_view(a.HotFixID) < std::string_view(b.HotFixID);
    });
    return rows;
  }

  std::string Count() { return f.view.Caption(ControlId::LabelNbKB); }

  // What every ended scan leaves: an idle, usable window.
  void ExpectIdle() {
    EXPECT_FALSE(Form().Busy);
    EXPECT_EQ(f.view.cursor, TCursor::crDefault);
    EXPECT_EQ(Form().vst.BatchCount(), 0);
    EXPECT_EQ(source.live, 0);
    bool canClose = false;
    Form().FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
  }

  std::size_t IndexOf(const std::string& entry, std::size_t from = 0) {
    const auto start = f.log.begin() + static_cast<std::ptrdiff_t>(std::min(from, f.log.size()));
    return static_cast<std::size_t>(std::find(start, f.log.end(), entry) - f.log.begin());
  }
  std::size_t LastIndexOf(const std::string& entry) {
    const auto found = std::find(f.log.rbegin(), f.log.rend(), entry);
    return found == f.log.rend() ? f.log.size()
                                 : static_cast<std::size_t>(f.log.rend() - found) - 1;
  }

  // The entries appear in the log in this order (others may come between them).
  void ExpectInOrder(const std::vector<std::string>& entries) {
    std::size_t at = 0;
    for (const std::string& entry : entries) {
      at = IndexOf(entry, at);
      ASSERT_LT(at, f.log.size()) << "missing or out of order: " << entry;
      ++at;
    }
  }

  MainFormFixture f;
  ScriptedSource source{f.log};
};

TEST_F(HotfixScanTest, ReadsEveryObjectIntoARowAndShowsTheCount) {
  source.objects = {Hotfix("KB300"), Hotfix("KB100"), Hotfix("KB200")};
  Form().Settings.LocalHost = "serveur";
  Form().Settings.Root = "root\\cimv2";
  Form().Settings.User = "admin";
  Form().Settings.Password = "secret";

  Form().BtnSearchClick();

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].HotFixID, "KB100");
  EXPECT_EQ(rows[0].Description, "Update");
  EXPECT_EQ(rows[0].InstalledBy, "NT AUTHORITY\\SYSTEM");
  EXPECT_EQ(rows[0].InstalledOn, "14/03/2013");
  EXPECT_EQ(Count(), "(3)");
  EXPECT_EQ(Form().HotfixCount, 3);
  EXPECT_EQ(source.connectArguments,
            (std::vector<std::string>{"serveur", "root\\cimv2", "admin", "secret"}));
  EXPECT_EQ(source.className, "Win32_QuickFixEngineering");
  EXPECT_TRUE(f.dialogs.messages.empty());
  ExpectIdle();

  // The order of the visible steps: the list emptied under its own hourglass and one message
  // pass, then the scan's hourglass, the count emptied before the connection, the WMI objects
  // released before the count shows, the cursor back last.
  ExpectInOrder({"SetCursor hourglass", "SetCursor default", "ProcessMessages",
                 "SetCursor hourglass", "SetCaption LabelNbKB=", "ConnectServer",
                 "InstancesOf Win32_QuickFixEngineering", "Release enumeration", "Release service",
                 "SetCaption LabelNbKB=(3)", "SetCursor default"});
  EXPECT_EQ(LastIndexOf("SetCursor default"), IndexOf("SetCaption LabelNbKB=(3)") + 1);
}

TEST_F(HotfixScanTest, AnEmptyEnumerationShowsNoCountAndNoMessage) {
  Form().BtnSearchClick();
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Count(), "");
  EXPECT_TRUE(f.dialogs.messages.empty());
  ExpectIdle();
}

TEST_F(HotfixScanTest, ANewScanReplacesTheRowsOfTheLastOne) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2")};
  Form().BtnSearchClick();
  ASSERT_EQ(Rows().size(), 2u);

  source.objects = {Hotfix("KB9")};
  int rowsDuringPass = -1;
  f.view.onProcessMessages = [&] { rowsDuringPass = Form().vst.RootNodeCount(); };
  Form().BtnSearchClick();
  EXPECT_EQ(rowsDuringPass, 0);
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0].HotFixID, "KB9");
  EXPECT_EQ(Count(), "(1)");
}

TEST_F(HotfixScanTest, AnotherErrorEndsTheScanAndReachesTheGeneralReport) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2")};
  source.fault = {Step::Next, 0, "Objet inattendu", 1, {}, true};

  Form().RunUserAction([&] { Form().BtnSearchClick(); });

  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_EQ(f.dialogs.errorReports, std::vector<std::string>{"Objet inattendu"});
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Count(), "(1)");
  ExpectIdle();
}

TEST_F(HotfixScanTest, AListThatFailsStillLeavesAUsableWindow) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2")};
  Form().BtnSearchClick();
  ASSERT_EQ(Rows().size(), 2u);

  // Freeing the old rows fails: the scan does not start, and nothing stays busy.
  auto freeNode = Form().vst.OnFreeNode;
  Form().vst.OnFreeNode = [](PVirtualNode) { throw std::runtime_error("Liste bloquée"); };
  Form().RunUserAction([&] { Form().BtnSearchClick(); });
  Form().vst.OnFreeNode = freeNode;
  EXPECT_EQ(f.dialogs.errorReports, std::vector<std::string>{"Liste bloquée"});
  EXPECT_EQ(source.connects, 1);
  ExpectIdle();

  // Sorting the new rows fails when the batch closes: the rows are there, nothing stays busy.
  Form().vst.OnPrepareSort = nullptr;
  Form().vst.OnCompareNodes = [](PVirtualNode, PVirtualNode, TColumnIndex, int&) {
    throw std::runtime_error("Tri impossible");
  };
  Form().RunUserAction([&] { Form().BtnSearchClick(); });
  EXPECT_EQ(f.dialogs.errorReports.back(), "Tri impossible");
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Count(), "(2)");
  ExpectIdle();
}

TEST_F(HotfixScanTest, NullValuesGiveEmptyTextsAndKeepTheRow) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2", std::nullopt),
                    Hotfix("KB3", "1/2/2013", std::nullopt, std::nullopt)};
  Form().BtnSearchClick();

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Count(), "(3)");
  EXPECT_EQ(rows[1].InstalledOn, "");
  EXPECT_EQ(rows[1].Description, "Update");
  EXPECT_EQ(rows[2].Description, "");
  EXPECT_EQ(rows[2].InstalledBy, "");
  EXPECT_EQ(rows[2].InstalledOn, "02/01/2013");
}

TEST_F(HotfixScanTest, APropertyOfAnotherTypeShowsItsName) {
  for (const std::string name : {"Description", "HotFixID", "InstalledBy", "InstalledOn"}) {
    SCOPED_TRACE(name);
    Properties object = Hotfix("KB1");
    object[name] = {19, std::string("42"), name};  // 19: unsigned 32-bit
    source.objects = {object};
    Form().BtnSearchClick();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    const TTreeDataClass& row = rows[0];
    const std::map<std::string, std::string_view> texts = {{"Description", row.Description},
                                                           {"HotFixID", row.HotFixID},
                                                           {"InstalledBy", row.InstalledBy},
                                                           {"InstalledOn", row.InstalledOn}};
    EXPECT_EQ(texts.at(name), "ERROR:" + name);
    EXPECT_EQ(row.MatchState, 0);
  }
}

struct DateCase {
  std::string installedOn;
  std::string expected;
};

TEST_F(HotfixScanTest, InstalledOnWithTheSlashLocale) {
  const std::vector<DateCase> cases = {
      {"3/14/2013", "14/03/2013"},
      {" 3 / 14 / 2013 ", "14/03/2013"},
      {"3/14/13", "14/03/2013"},
      {"3/14", "14/03/2026"},  // the current year
      {"13/14/2013", "13/14/2013"},
      {"2/30/2013", "2/30/2013"},
      {"", ""},
      {"22/2/2022", "22/2/2022"},  // day first: no month 22
      {"\xE9t\xE9 2013", "\xE9t\xE9 2013"},
      // A file time written in hexadecimal: the date part of its local date and time.
      {"01CE209EE1784400", "14/03/2013"},
      {"01ce209ee1784400", "14/03/2013"},
      // Sixteen characters that make no file time keep the platform's text rather than a row
      // of zeros; a date among them is still read.
      {"0000000000000000", "0000000000000000"},
      {"12/25/2013 10:00", "12/25/2013 10:00"},
      {"   12/25/2013   ", "25/12/2013"},
      {"01CE209EE178440G", "01CE209EE178440G"},
  };
  for (const DateCase& c : cases) {
    source.objects = {Hotfix("KB1", c.installedOn)};
    Form().BtnSearchClick();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1u) << c.installedOn;
    EXPECT_EQ(rows[0].InstalledOn, c.expected) << "InstalledOn: " << c.installedOn;
  }
}

// A scan works each date text out once, whatever the number of rows that share it: texts met
// again, other texts of the same length and a text that holds no date all give what they give
// alone.
TEST_F(HotfixScanTest, DateTextsMetAgainInOneScanReadAsTheFirstTime) {
  const std::vector<DateCase> cases = {{"3/14/2013", "14/03/2013"},
                                       {"3/15/2013", "15/03/2013"},
                                       {"01CE209EE1784400", "14/03/2013"},
                                       {"22/2/2022", "22/2/2022"}};
  source.objects.clear();
  for (int round = 0; round < 3; ++round) {
    for (const DateCase& c : cases) {
      // Two-digit numbers: the rows come back in the order read.
      const auto row = static_cast<int>(source.objects.size());
      source.objects.push_back(Hotfix("KB" + std::to_string(10 + row), c.installedOn));
    }
  }
  Form().BtnSearchClick();
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3 * cases.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].InstalledOn, cases[i % cases.size()].expected) << "row " << i;
  }
}

// Rows of one scan share one copy of a long text they have in common, each still showing its
// own: the same text met again, another of the same length, and more different texts than the
// scan keeps for sharing.
TEST_F(HotfixScanTest, LongTextsMetAgainInOneScanShareOneCopy) {
  source.objects.clear();
  for (int i = 0; i < 5000; ++i) {
    const std::string description = i % 2 == 0 ? "Update for Windows" : "Update for Office!";
    source.objects.push_back(Hotfix("KB" + std::to_string(1000 + i), "3/14/2013", description,
                                    "CONTOSO\\admin-" + std::to_string(1000 + i)));
  }
  Form().BtnSearchClick();
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 5000u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TTreeDataClass& row = rows[i];
    const int number = std::stoi(row.HotFixID.str().substr(2));
    EXPECT_EQ(row.Description, number % 2 == 0 ? "Update for Windows" : "Update for Office!");
    EXPECT_EQ(row.InstalledBy, "CONTOSO\\admin-" + std::to_string(number));
    const TTreeDataClass& same = rows[i < 2 ? i + 2 : i - 2];
    EXPECT_EQ(row.Description.data(), same.Description.data()) << "row " << i;
    EXPECT_NE(row.Description.data(), rows[i ^ 1].Description.data()) << "row " << i;
  }
}

TEST_F(HotfixScanTest, InstalledOnWithTheDotLocale) {
  TFormatSettings german;
  german.DateSeparator = '.';
  german.ShortDateFormat = "d.M.yyyy";
  german.LongTimeFormat = "HH:mm:ss";
  UseFormats(german);
  const std::vector<DateCase> cases = {
      {"3/14/2013", "3/14/2013"},
      {"3.14.2013", "14.3.2013"},
      {"01CE209EE1784400", "14.3.2013 "},  // ten characters of "14.3.2013 10:30:00"
  };
  for (const DateCase& c : cases) {
    source.objects = {Hotfix("KB1", c.installedOn)};
    Form().BtnSearchClick();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].InstalledOn, c.expected) << "InstalledOn: " << c.installedOn;
  }
}

TEST_F(HotfixScanTest, HugeValuesAndManyObjects) {
  const std::string huge(100000, 'x');
  std::string hugeAccents;
  for (int i = 0; i < 50000; ++i) hugeAccents += "\xC3\xA9";
  source.objects = {Hotfix("KB" + huge, huge, hugeAccents, huge),
                    Hotfix("KB1", hugeAccents, huge, "")};
  for (int i = 0; i < 5000; ++i) source.objects.push_back(Hotfix("KB" + std::to_string(i + 10)));

  Form().BtnSearchClick();

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 5002u);
  EXPECT_EQ(Count(), "(5002)");
  const auto hugeRow = std::find_if(rows.begin(), rows.end(), [&](const TTreeDataClass& row) {
    return row.HotFixID.size() == huge.size() + 2;
  });
  ASSERT_NE(hugeRow, rows.end());
  EXPECT_EQ(hugeRow->InstalledOn, huge);
  EXPECT_EQ(hugeRow->Description, hugeAccents);
  ExpectIdle();
}

TEST_F(HotfixScanTest, ASecondClickDuringTheScanDoesNothing) {
  source.objects = {Hotfix("KB1")};
  int innerClicks = 0;
  f.view.onProcessMessages = [&] {
    ++innerClicks;
    Form().BtnSearchClick();
  };
  Form().BtnSearchClick();
  EXPECT_EQ(innerClicks, 1);
  EXPECT_EQ(source.connects, 1);
  EXPECT_EQ(Rows().size(), 1u);
  ExpectIdle();
}

TEST_F(HotfixScanTest, CloseIsRefusedDuringTheScanOnly) {
  std::vector<bool> answers;
  f.view.onProcessMessages = [&] {
    bool canClose = true;
    Form().FormCloseQuery(canClose);
    answers.push_back(canClose);
  };
  source.beforeNext = [&](std::size_t) {
    bool canClose = true;
    Form().FormCloseQuery(canClose);
    answers.push_back(canClose);
  };
  source.objects = {Hotfix("KB1")};
  Form().BtnSearchClick();
  EXPECT_EQ(answers, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(f.dialogs.messages.empty());
  ExpectIdle();
}

TEST_F(HotfixScanTest, EscapeOutsideAScanOrAnotherKeyDoesNothing) {
  std::uint16_t escape = 27;
  Form().FormKeyDown(escape, TShiftState{});
  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_EQ(escape, 27);

  f.view.onProcessMessages = [&] {
    std::uint16_t enter = 13;
    Form().FormKeyDown(enter, TShiftState{});
    EXPECT_EQ(enter, 13);
  };
  Form().BtnSearchClick();
  EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(HotfixScanTest, EscapeDuringTheScanAsksAndYesStopsIt) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2"), Hotfix("KB3"), Hotfix("KB4")};
  f.dialogs.answers = {mrYes};
  std::uint16_t key = 27;
  source.beforeNext = [&](std::size_t index) {
    if (index == 2) Form().FormKeyDown(key, TShiftState{false, false, true});
  };

  Form().BtnSearchClick();

  ASSERT_EQ(f.dialogs.messages.size(), 1u);
  const ShownMessage& asked = f.dialogs.messages[0];
  EXPECT_EQ(asked.title, "Fixtally");
  EXPECT_EQ(asked.instruction, "Opération en cours");
  EXPECT_EQ(asked.content, "Voulez-vous arrêter l'opération immédiatement ?");
  EXPECT_EQ(asked.icon, 99);
  EXPECT_EQ(asked.buttons, 6);
  EXPECT_FALSE(asked.keepLineBreaks);
  EXPECT_EQ(key, 27);
  EXPECT_TRUE(Form().CancelRequested);
  // The object being handed over when Escape came is still read; none after it.
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(Count(), "(3)");
  ExpectIdle();

  // The next scan is not stopped by the last one's answer.
  source.beforeNext = nullptr;
  Form().BtnSearchClick();
  EXPECT_FALSE(Form().CancelRequested);
  EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(HotfixScanTest, EscapeAnsweredOtherwiseLetsTheScanRun) {
  for (int answer : {mrNo, mrOk, 0, mrCancel}) {
    SCOPED_TRACE(answer);
    f.dialogs.messages.clear();
    source.objects = {Hotfix("KB1"), Hotfix("KB2")};
    f.dialogs.answers = {answer};
    f.view.onProcessMessages = [&] {
      std::uint16_t key = 27;
      Form().FormKeyDown(key, TShiftState{});
    };
    Form().BtnSearchClick();
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_FALSE(Form().CancelRequested);
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Count(), "(2)");
  }
}

TEST_F(HotfixScanTest, YesDuringTheListPassStopsBeforeTheFirstObject) {
  source.objects = {Hotfix("KB1"), Hotfix("KB2")};
  f.dialogs.answers = {mrYes};
  f.view.onProcessMessages = [&] {
    std::uint16_t key = 27;
    Form().FormKeyDown(key, TShiftState{});
  };
  Form().BtnSearchClick();
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Count(), "");
  ExpectIdle();
}

}  // namespace
