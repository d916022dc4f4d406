// The main window's start-up order, its layout and its closing path, over recording fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "main_form_fakes.h"

namespace {

class MainFormTest : public ::testing::Test {
 protected:
  MainFormFixture fixture;
  const std::string iniPath = "C:\\Program Files\\Fixtally\\Fixtally.ini";

  void WriteIni(const std::string& section, const std::string& key, const std::string& value) {
    fixture.ini.files[iniPath][section + "/" + key] = value;
  }
};

std::size_t PlaceIn(const CallLog& log, const std::string& call) {
  return static_cast<std::size_t>(std::find(log.begin(), log.end(), call) - log.begin());
}

// What start-up shows, and the orders that change what the user sees: the link goes to the
// address its caption shows, and the labels take the form's font once the Vista font is in it.
TEST_F(MainFormTest, FormCreateShowsItsTextsAndSetsFontsAfterTheVistaFont) {
  TMainForm& form = fixture.Build();
  fixture.view.pixelsPerInch = 120;
  form.FormCreate();
  const CallLog& log = fixture.log;
  for (const std::string call :
       {"SetCaption LabelVersion=1.2.0.0", "SetCaption ASLink=www.fixtally.fr",
        "SetLinkAddress www.fixtally.fr", "SetFontColor ASLink=8421504",
        "SetCaption LabelCopyR=Copyright (c) 2026 Fixtally", "ShowInTaskbar", "ApplyGlassLook",
        "SetFormWidth 946"}) {
    EXPECT_EQ(std::count(log.begin(), log.end(), call), 1) << call;
  }
  EXPECT_LT(PlaceIn(log, "SetCaption ASLink=www.fixtally.fr"),
            PlaceIn(log, "SetLinkAddress www.fixtally.fr"));
  const std::size_t vistaFont = PlaceIn(log, "ApplyVistaFont");
  ASSERT_LT(vistaFont, log.size());
  for (const char* control : {"LabelTitle", "LabelNbKB", "LabelCopyR", "vst"}) {
    const std::string call = std::string("SetFontName ") + control + "=Segoe UI";
    ASSERT_LT(PlaceIn(log, call), log.size()) << call;
    EXPECT_GT(PlaceIn(log, call), vistaFont) << call;
  }
}

TEST_F(MainFormTest, WithoutSettingsFileTheDefaultsHold) {
  TMainForm& form = fixture.Build();
  form.FormCreate();
  EXPECT_EQ(form.Settings.IniFileName, iniPath);
  EXPECT_EQ(form.FormPlacement.IniFileName, iniPath);
  EXPECT_EQ(form.FormPlacement.IniSection, "MAINFORM");
  EXPECT_EQ(form.Settings.Root, "root\\cimv2");
  EXPECT_EQ(form.Settings.MsKbId, "https://support.microsoft.com/help/%s");
  EXPECT_EQ(form.Settings.LocalHost, ".");
  EXPECT_EQ(form.SeparatorString(), " | ");
  EXPECT_EQ(form.vst.SortColumn(), 0);
  EXPECT_EQ(form.vst.SortDirection(), sdAscending);
  // The transient first node fixed the node data size and left the list empty.
  EXPECT_EQ(form.vst.NodeDataSize(), 4);
  EXPECT_EQ(form.vst.RootNodeCount(), 0);
  EXPECT_TRUE(fixture.ini.writes.empty());
}

TEST_F(MainFormTest, StoredSortStateAndWidthsReachTheList) {
  WriteIni("OPTION", "SORTCOLUMN", "2");
  WriteIni("OPTION", "SORTDIRECTION", "0");
  WriteIni("OPTION", "COLUMNSORDER", "0=100,1=abc,2=300");
  TMainForm& form = fixture.Build();
  form.FormCreate();
  EXPECT_EQ(form.vst.SortColumn(), 2);
  EXPECT_EQ(form.vst.SortDirection(), sdDescending);
  EXPECT_EQ(form.vst.Column(0).Width, 100);
  EXPECT_EQ(form.vst.Column(1).Width, 150);
  EXPECT_EQ(form.vst.Column(2).Width, 300);
  // The last column takes what is left of the list: 734 - 550 - 4.
  EXPECT_EQ(form.vst.Column(3).Width, 180);
}

TEST_F(MainFormTest, ClosingWhileBusyIsRefusedAndWritesNothing) {
  WriteIni("OPTION", "WRITEINI", "1");
  TMainForm& form = fixture.Build();
  form.FormCreate();
  form.Busy = true;
  bool canClose = true;
  form.FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_TRUE(fixture.ini.writes.empty());
  EXPECT_TRUE(fixture.dialogs.messages.empty());
}

TEST_F(MainFormTest, AnErrorEscapingAUserActionIsReportedAndSwallowed) {
  TMainForm& form = fixture.Build();
  form.RunUserAction([] { throw EFixtallyError("Le format 'x' est incorrect"); });
  form.RunUserAction([] { throw 42; });
  ASSERT_EQ(fixture.dialogs.errorReports.size(), 2u);
  EXPECT_EQ(fixture.dialogs.errorReports[0], "Le format 'x' est incorrect");
}

TEST_F(MainFormTest, FormDestroyFreesEveryRecord) {
  TMainForm& form = fixture.Build();
  form.FormCreate();
  form.vst.BeginBatch();
  for (int i = 0; i < 3; ++i) {
    PVirtualNode node = form.vst.AppendNode();
    *form.vst.NodeRecord(node) = std::make_unique<TTreeDataClass>();
  }
  form.vst.EndBatch();
  int freed = 0;
  auto free = form.vst.OnFreeNode;
  form.vst.OnFreeNode = [&](PVirtualNode node) {
    ++freed;
    free(node);
  };
  form.FormDestroy();
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(form.vst.RootNodeCount(), 0);
}

// Layout

class ArrangeControlsTest : public MainFormTest {
 protected:
  TMainForm& CreatedForm() {
    TMainForm& form = fixture.Build();
    form.FormCreate();
    return form;
  }
  ControlBounds At(ControlId id) { return fixture.view.Bounds(id); }
};

TEST_F(ArrangeControlsTest, PlacesEveryControlFromTheClientSize) {
  struct Case {
    int clientWidth, clientHeight;
    std::vector<std::pair<ControlId, ControlBounds>> expected;  // left, top, width, height
  };
  using C = ControlId;
  const std::vector<Case> cases = {
      {754,
       501,
       {{C::LabelTitle, {70, 30, 93, 21}},
        {C::LabelNbKB, {173, 33, 4, 17}},
        {C::LabelVersion, {70, 39, 5, 10}},
        {C::LabelCopyR, {70, 54, 5, 17}},
        {C::ImgLogo, {10, 25, 48, 48}},
        {C::vst, {10, 80, 734, 366}},
        {C::LabelFiltre, {608, 30, 136, 13}},
        {C::EditSearch, {608, 45, 136, 25}},
        {C::BtnSearch, {9, 456, 100, 35}},
        {C::BtnCopy, {119, 456, 100, 35}},
        {C::BtnLinkWeb, {229, 456, 100, 35}},
        {C::BtnClose, {644, 456, 100, 35}},
        {C::ASLink, {339, 476, 8, 14}}}},
      {1000,
       700,
       {{C::LabelTitle, {70, 30, 93, 21}},
        {C::LabelNbKB, {173, 33, 4, 17}},
        {C::LabelVersion, {70, 39, 5, 10}},
        {C::LabelCopyR, {70, 54, 5, 17}},
        {C::vst, {10, 80, 980, 565}},
        {C::LabelFiltre, {854, 30, 136, 13}},
        {C::EditSearch, {854, 45, 136, 25}},
        {C::BtnSearch, {9, 655, 100, 35}},
        {C::BtnCopy, {119, 655, 100, 35}},
        {C::BtnLinkWeb, {229, 655, 100, 35}},
        {C::BtnClose, {890, 655, 100, 35}},
        {C::ASLink, {339, 675, 8, 14}}}},
  };
  for (const Case& c : cases) {
    MainFormFixture local;
    local.view.clientWidth = c.clientWidth;
    local.view.clientHeight = c.clientHeight;
    local.Build().FormCreate();
    for (const auto& [id, expected] : c.expected) {
      const ControlBounds at = local.view.Bounds(id);
      EXPECT_EQ((std::array<int, 4>{at.left, at.top, at.width, at.height}),
                (std::array<int, 4>{expected.left, expected.top, expected.width, expected.height}))
          << FakeFormView::Name(id) << " in " << c.clientWidth << " x " << c.clientHeight;
    }
  }
}

TEST_F(ArrangeControlsTest, WideningTheWindowWidensOnlyTheLastColumn) {
  TMainForm& form = CreatedForm();
  const int before = form.vst.Column(3).Width;
  fixture.view.clientWidth += 100;
  form.FormResize();
  EXPECT_EQ(form.vst.Column(3).Width, before + 100);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(form.vst.Column(i).Width, 150);
}

TEST_F(ArrangeControlsTest, TheLastColumnFillsTheListWhateverTheUserDoes) {
  TMainForm& form = CreatedForm();
  const int filled = form.vst.Column(3).Width;  // 734 - 450 - 4
  EXPECT_EQ(filled, 280);
  // Dragging the last column's border snaps it back.
  form.vst.ColumnWidthTracked(3, 500);
  EXPECT_EQ(form.vst.Column(3).Width, filled);
  // Widening another column shrinks the last by as much, down to 10.
  form.vst.ColumnWidthTracked(0, 250);
  EXPECT_EQ(form.vst.Column(3).Width, filled - 100);
  form.vst.ColumnWidthTracked(0, 900);
  EXPECT_EQ(form.vst.Column(3).Width, 10);
  // Moved to the first place on screen, it is still the column that fills.
  form.vst.ColumnWidthTracked(0, 150);
  form.vst.SetColumnOrder({3, 0, 1, 2});
  fixture.view.clientWidth += 40;
  form.FormResize();
  EXPECT_EQ(form.vst.Column(3).Width, filled + 40);
}

}  // namespace
