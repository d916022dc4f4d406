// The main window's start-up order, its layout and its closing path, over recording fakes.
#include <gtest/gtest.h>

#include <algorithm>

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

TEST_F(MainFormTest, FormCreateRunsItsStepsInOrder) {
  TMainForm& form = fixture.Build();
  fixture.view.pixelsPerInch = 120;
  form.FormCreate();
  const CallLog expected = {
      "SetCaption LabelVersion=1.2.0.0",
      "SetCaption ASLink=www.fixtally.fr",
      "SetLinkAddress www.fixtally.fr",
      "SetFontColor ASLink=8421504",
      "SetCaption LabelCopyR=Copyright (c) 2026 Fixtally",
      "ApplyVistaFont",
      "ShowInTaskbar",
      "ApplyGlassLook",
      "SetFormWidth 946",
      "SetFontName LabelTitle=Segoe UI",
      "SetFontName LabelNbKB=Segoe UI",
      "SetFontName LabelCopyR=Segoe UI",
      "SetFontName vst=Segoe UI",
  };
  EXPECT_EQ(fixture.log, expected);
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

TEST_F(MainFormTest, ARefusedSaveIsReportedAndTheCloseGoesOn) {
  WriteIni("OPTION", "WRITEINI", "1");
  TMainForm& form = fixture.Build();
  form.FormCreate();
  fixture.ini.refuseWrites = true;
  bool canClose = false;
  form.FormCloseQuery(canClose);
  ASSERT_TRUE(canClose);
  EXPECT_NO_THROW(form.FormClose());
  ASSERT_EQ(fixture.dialogs.errorReports.size(), 1u);
  EXPECT_EQ(fixture.dialogs.errorReports[0], "Impossible d'écrire dans " + iniPath);
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
  CreatedForm();
  const int bottom = fixture.view.clientHeight;  // 501
  EXPECT_EQ(At(ControlId::BtnSearch).top, bottom - 45);
  EXPECT_EQ(At(ControlId::BtnSearch).left, 9);  // one pixel left of the list
  EXPECT_EQ(At(ControlId::BtnCopy).left, 9 + 100 + 10);
  EXPECT_EQ(At(ControlId::BtnLinkWeb).left, 119 + 100 + 10);
  EXPECT_EQ(At(ControlId::BtnCopy).top, bottom - 45);
  EXPECT_EQ(At(ControlId::BtnLinkWeb).top, bottom - 45);
  EXPECT_EQ(At(ControlId::BtnClose).top, bottom - 45);
  EXPECT_EQ(At(ControlId::BtnClose).left + 100, fixture.view.clientWidth - 10);
  EXPECT_EQ(At(ControlId::ASLink).top, bottom - 25);
  EXPECT_EQ(At(ControlId::ASLink).left, 229 + 100 + 10);
  const ControlBounds list = At(ControlId::vst);
  EXPECT_EQ(list.left, 10);
  EXPECT_EQ(list.width, fixture.view.clientWidth - 20);
  EXPECT_EQ(list.top + list.height, bottom - 45 - 10);
  EXPECT_EQ(At(ControlId::EditSearch).left + 136, list.left + list.width);
  EXPECT_EQ(At(ControlId::LabelFiltre).left, At(ControlId::EditSearch).left);
  // The count follows the title; the version ends where the copyright line ended.
  EXPECT_EQ(At(ControlId::LabelNbKB).left, 70 + 93 + 10);
  EXPECT_EQ(At(ControlId::LabelVersion).left, 70 + 5 - 5);
  EXPECT_EQ(At(ControlId::LabelCopyR).left, 70);
  // Tops of the labels, the logo, the search box and the list do not move.
  EXPECT_EQ(At(ControlId::LabelTitle).top, 30);
  EXPECT_EQ(At(ControlId::EditSearch).top, 45);
  EXPECT_EQ(list.top, 80);
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
