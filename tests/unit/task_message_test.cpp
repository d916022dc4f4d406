// The rules behind the task dialog and the French message dialog that stands in for it.
#include "app/chrome/task_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/chrome/dialogs.h"

namespace {

struct ContentCase {
  std::string content;
  bool keepLineBreaks;
  std::string expected;
};

TEST(TaskDialogContent, LineBreakRule) {
  const std::vector<ContentCase> cases = {
      {"ligne 1\r\nligne 2", false, "ligne 1 ligne 2"},
      {"ligne 1\nligne 2", false, "ligne 1ligne 2"},
      {"ligne 1\rligne 2", false, "ligne 1 ligne 2"},
      {"\r\n\r\n", false, "  "},
      {"\n\n\n", false, ""},
      {"ligne 1\r\nligne 2", true, "ligne 1\r\nligne 2"},
      {"", false, ""},
      {"", true, ""},
      {"Opération\r\nterminée", false, "Opération terminée"},
  };
  for (const ContentCase& c : cases) {
    EXPECT_EQ(TaskDialogContent(c.content, c.keepLineBreaks), c.expected)
        << "content: " << c.content;
  }
}

TEST(TaskDialogContent, LongTextKeepsEverythingButLineFeeds) {
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "a\r\n";
  const std::string shown = TaskDialogContent(content, false);
  EXPECT_EQ(shown.size(), 10000u);
  EXPECT_EQ(shown.find('\n'), std::string::npos);
  EXPECT_EQ(shown.find('\r'), std::string::npos);
}

struct CutCase {
  std::string text;
  std::size_t limit;
  std::string expected;
};

TEST(CutUtf8, CutsWholeCodePoints) {
  const std::vector<CutCase> cases = {
      {"abc", 2, "ab"},
      {"abc", 3, "abc"},
      {"abc", 10, "abc"},
      {"", 5, ""},
      {"abc", 0, ""},
      {"\xC3\xA9t\xC3\xA9", 1, "\xC3\xA9"},  // été: é is two bytes
      {"\xC3\xA9t\xC3\xA9", 2, "\xC3\xA9t"},
      {"\xE2\x82\xAC\xE2\x82\xAC", 1, "\xE2\x82\xAC"},  // € is three bytes
      {"\xF0\x9F\x98\x80x", 1, "\xF0\x9F\x98\x80"},     // a four-byte emoji
      {"\xC3", 1, "\xC3"},                              // a lead byte cut off at the end
      {"\xC3"
       "a",
       1, "\xC3"},                      // a lead byte without continuation
      {"\x80\x80\x80", 2, "\x80\x80"},  // stray continuation bytes
      {"\xE2\x82"
       "a",
       2, "\xE2\x82"},  // a truncated three-byte sequence
      {"\xFF\xFE"
       "a",
       2, "\xFF\xFE"},
  };
  for (const CutCase& c : cases) {
    EXPECT_EQ(CutUtf8(c.text, c.limit), c.expected) << "limit " << c.limit;
  }
}

TEST(CutUtf8, LongTextsAtTheTaskDialogLimit) {
  const std::string ascii(10000, 'x');
  EXPECT_EQ(CutUtf8(ascii, kTaskDialogTextLimit), std::string(1024, 'x'));

  std::string accents;
  for (int i = 0; i < 10000; ++i) accents += "\xC3\xA9";
  const std::string cut = CutUtf8(accents, kTaskDialogTextLimit);
  EXPECT_EQ(cut.size(), 2048u);

  // A three-byte character straddling the limit is left out whole.
  std::string straddling(1023, 'x');
  straddling += "\xE2\x82\xAC";
  straddling += "yyy";
  EXPECT_EQ(CutUtf8(straddling, kTaskDialogTextLimit), straddling.substr(0, 1026));
  EXPECT_EQ(CutUtf8(straddling, 1023), std::string(1023, 'x'));
}

TEST(TranslateTaskDialogButton, Table) {
  const std::vector<std::pair<int, int>> cases = {
      {1, 1}, {2, 2}, {4, 4}, {6, 6},  {7, 7},   {8, 3},       {0, 1},
      {3, 1}, {5, 1}, {9, 1}, {-1, 1}, {100, 1}, {1000000, 1},
  };
  for (const auto& [pressed, expected] : cases) {
    EXPECT_EQ(TranslateTaskDialogButton(pressed), expected) << "pressed " << pressed;
  }
}

struct IconCase {
  int icon;
  MessageDialogType type;
  std::string caption;
  MessageDialogIcon systemIcon;
};

TEST(MessageDialogType, FromTaskDialogIcon) {
  const std::vector<IconCase> cases = {
      {81, MessageDialogType::mtInformation, "Information", MessageDialogIcon::Asterisk},
      {84, MessageDialogType::mtWarning, "Avertissement", MessageDialogIcon::Exclamation},
      {98, MessageDialogType::mtError, "Erreur", MessageDialogIcon::Hand},
      {99, MessageDialogType::mtConfirmation, "Confirmation", MessageDialogIcon::Question},
      {0, MessageDialogType::mtCustom, "Fixtally", MessageDialogIcon::None},
      {82, MessageDialogType::mtCustom, "Fixtally", MessageDialogIcon::None},
      {-3, MessageDialogType::mtCustom, "Fixtally", MessageDialogIcon::None},
      {65535, MessageDialogType::mtCustom, "Fixtally", MessageDialogIcon::None},
  };
  for (const IconCase& c : cases) {
    const MessageDialogPlan plan = PlanTaskMessageFallback("i", "c", c.icon, tdbOk);
    EXPECT_EQ(plan.type, c.type) << "icon " << c.icon;
    EXPECT_EQ(plan.caption, c.caption) << "icon " << c.icon;
    EXPECT_EQ(plan.icon, c.systemIcon) << "icon " << c.icon;
  }
}

std::vector<std::string> Captions(const MessageDialogPlan& plan) {
  std::vector<std::string> captions;
  for (const MessageDialogButton& button : plan.buttons) captions.push_back(button.caption);
  return captions;
}

struct ButtonsCase {
  int flags;
  std::vector<std::string> captions;  // in display order
  int defaultResult;
  int cancelResult;
};

TEST(MessageDialogPlan, ButtonsDefaultAndCancel) {
  const std::vector<ButtonsCase> cases = {
      {tdbOk, {"OK"}, mrOk, mrOk},
      {tdbYes | tdbNo, {"&Oui", "&Non"}, mrYes, mrNo},
      {tdbOk | tdbCancel, {"OK", "Annuler"}, mrOk, mrCancel},
      {tdbYes | tdbNo | tdbCancel, {"&Oui", "&Non", "Annuler"}, mrYes, mrCancel},
      {tdbRetry | tdbCancel, {"Annuler", "&Retenter"}, mrRetry, mrCancel},
      {tdbClose, {"&Abandonner"}, 0, 0},
      {tdbRetry, {"&Retenter"}, mrRetry, 0},
      {tdbYes, {"&Oui"}, mrYes, 0},
      {tdbNo, {"&Non"}, 0, mrNo},
      {tdbCancel, {"Annuler"}, 0, mrCancel},
      {63, {"&Oui", "&Non", "OK", "Annuler", "&Abandonner", "&Retenter"}, mrOk, mrCancel},
      // Flags above 32 play no part.
      {64 | tdbYes, {"&Oui"}, mrYes, 0},
      {0x7FFFFFC0 | tdbNo | tdbOk, {"&Non", "OK"}, mrOk, mrNo},
      // No button at all would leave nothing to press: OK stands in, as in the task dialog.
      {0, {"OK"}, mrOk, mrOk},
      {64, {"OK"}, mrOk, mrOk},
      {-64, {"OK"}, mrOk, mrOk},
  };
  for (const ButtonsCase& c : cases) {
    const MessageDialogPlan plan = PlanTaskMessageFallback("i", "c", tdIconQuestion, c.flags);
    EXPECT_EQ(Captions(plan), c.captions) << "flags " << c.flags;
    EXPECT_EQ(plan.defaultResult, c.defaultResult) << "flags " << c.flags;
    EXPECT_EQ(plan.cancelResult, c.cancelResult) << "flags " << c.flags;
    EXPECT_EQ(plan.closeBoxResult, mrCancel) << "flags " << c.flags;
  }
}

TEST(MessageDialogPlan, ButtonResultsFollowTheirCaptions) {
  const MessageDialogPlan plan = PlanTaskMessageFallback("i", "c", tdIconInformation, 63);
  const std::vector<std::pair<std::string, int>> expected = {
      {"&Oui", mrYes},       {"&Non", mrNo},           {"OK", mrOk},
      {"Annuler", mrCancel}, {"&Abandonner", mrAbort}, {"&Retenter", mrRetry}};
  ASSERT_EQ(plan.buttons.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(plan.buttons[i].caption, expected[i].first);
    EXPECT_EQ(plan.buttons[i].result, expected[i].second);
  }
  // "&Ignorer" keeps its place and result when a caller asks for it directly.
  const MessageDialogPlan withIgnore =
      PlanMessageDialog(MessageDialogType::mtWarning, "t", {{"OK", mrOk}, {"&Ignorer", mrIgnore}});
  EXPECT_EQ(MessageDialogResultOfButton(withIgnore, mrIgnore), mrIgnore);
}

TEST(MessageDialogPlan, OnlyPresentButtonsAnswer) {
  const MessageDialogPlan plan = PlanTaskMessageFallback("i", "c", tdIconQuestion, tdbYes | tdbNo);
  EXPECT_EQ(MessageDialogResultOfButton(plan, mrYes), mrYes);
  EXPECT_EQ(MessageDialogResultOfButton(plan, mrNo), mrNo);
  // Enter with no default would come as IDOK; the dialog has no OK, so nothing happens.
  EXPECT_EQ(MessageDialogResultOfButton(plan, mrOk), 0);
  EXPECT_EQ(MessageDialogResultOfButton(plan, mrCancel), 0);
  EXPECT_EQ(MessageDialogResultOfButton(plan, 0), 0);
  EXPECT_EQ(MessageDialogResultOfButton(plan, 12345), 0);
}

TEST(MessageDialogPlan, TextIsInstructionEmptyLineContent) {
  const std::vector<std::vector<std::string>> cases = {
      {"Opération en cours", "Voulez-vous arrêter l'opération immédiatement ?",
       "Opération en cours\r\n\r\nVoulez-vous arrêter l'opération immédiatement ?"},
      // The content keeps its own line breaks here.
      {"A", "l1\r\nl2\nl3", "A\r\n\r\nl1\r\nl2\nl3"},
      {"", "", "\r\n\r\n"},
      {"\xFF\xFE", "\x80", "\xFF\xFE\r\n\r\n\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlanTaskMessageFallback(c[0], c[1], tdIconQuestion, tdbYes | tdbNo).text, c[2]);
  }
  const std::string longContent(100000, 'z');
  EXPECT_EQ(PlanTaskMessageFallback("x", longContent, 84, 1).text.size(), 100005u);
}

TEST(ErrorReportText, FullStopAfterCharactersThatSortAfterIt) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Accès refusé", "Accès refusé."},
      {"Fichier introuvable", "Fichier introuvable."},
      {"Déjà fini.", "Déjà fini."},
      {"Vraiment ?", "Vraiment ?."},   // '?' sorts after '.'
      {"Attention !", "Attention !"},  // '!' sorts before '.'
      {"Valeur -", "Valeur -"},
      {"Chemin /", "Chemin /."},
      {"Code 7", "Code 7."},
      {"fin ", "fin "},
      {"ligne\r\n", "ligne\r\n"},
      {"", ""},
      {".", "."},
      {"x", "x."},
      {"\xC3\xA9", "\xC3\xA9."},  // a non-ASCII last character
      {"\x80", "\x80."},
  };
  for (const auto& [message, expected] : cases) {
    EXPECT_EQ(ErrorReportText(message), expected) << "message: " << message;
  }
  EXPECT_EQ(ErrorReportText(std::string(10000, 'e')).size(), 10001u);
}

}  // namespace
