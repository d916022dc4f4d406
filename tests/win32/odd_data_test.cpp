// Large and odd data through the whole window as the program assembles it, on the real list
// view, clipboard, shell and locale: huge property values, huge identifiers, texts that are not
// Latin, 100,000 rows. Nothing may crash, hang, be cut or be lost, and every refusal is shown.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ini_store_contract.h"
#include "list/sort_keys.h"
#include "objects_source.h"
#include "whole_window_win32.h"
#include "win32_test_support.h"

namespace {

using win32_test::PumpMessages;

struct Texts {
  std::string id, installedOn, description, installedBy;
};

std::unique_ptr<HotfixObject> ObjectOf(const Texts& texts) {
  return std::make_unique<TextObject>(
      std::map<std::string, std::string>{{"HotFixID", texts.id},
                                         {"InstalledOn", texts.installedOn},
                                         {"Description", texts.description},
                                         {"InstalledBy", texts.installedBy}});
}

// The text the list view gives for a cell, asked with room for all of it.
std::wstring CellText(HWND list, int row, int column, std::size_t room) {
  std::wstring text(room + 1, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const auto length = static_cast<std::size_t>(SendMessageW(
      list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
  text.resize(length);
  return text;
}

std::string ClipboardText() {
  if (!OpenClipboard(nullptr)) return "<closed>";
  std::string text = "<no text>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutOnClipboard(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

int IndexOfId(TVirtualStringTree& list, const std::string& id) {
  for (int i = 0; i < list.RootNodeCount(); ++i) {
    const TTreeDataClass* record = RecordOf(list, list.NodeAt(i));
    if (record && record->HotFixID == id) return i;
  }
  return -1;
}

// 1252 is the code page of a French or English Windows, and of Wine here; the texts below are
// its bytes, as WMI's answer arrives converted to it.
const std::string kAccented =
    "Mise \xE0 jour de s\xE9"
    "curit\xE9 \x80 \x9C\xE6";
const std::string kUndefinedBytes = "\x81\x8D\x8F\x90\x9D";
const std::string kCyrillicAsUtf8 = "\xD0\x9E\xD0\xB1\xD0\xBD\xD0\xBE\xD0\xB2";
const std::string kHugeDescription = std::string(100000, 'D') + "!";
const std::string kHugeId = "KB" + std::string(9998, '7');

TEST(OddData, HugeAndNonLatinTextsAreShownCopiedAndLinkedWhole) {
  const std::vector<Texts> rows = {
      {"KB5000001", "3/14/2013", kHugeDescription, std::string(100000, 'u')},
      {kHugeId, "12/31/2024", kAccented, "?????"},
      {"kb5000002", std::string(100000, '9'), kUndefinedBytes + kCyrillicAsUtf8, "\t\r\n"},
  };
  ObjectsSource source(rows.size(), [&rows](std::size_t i) { return ObjectOf(rows[i]); });
  ini_contract::ScratchFolder folder;
  WholeWindow whole(source, folder.Path().string());
  ASSERT_TRUE(whole.Show());
  TMainForm& form = whole.Form();
  const HWND list = whole.Control(ControlId::vst);

  whole.Click(ControlId::BtnSearch);
  EXPECT_TRUE(whole.Dialogs().errorReports.empty());
  ASSERT_EQ(ListView_GetItemCount(list), 3);
  EXPECT_FALSE(form.Busy);
  const int huge = IndexOfId(form.vst, kHugeId);
  ASSERT_GE(huge, 0);
  EXPECT_EQ(CellText(list, huge, 0, 20000), std::wstring(kHugeId.begin(), kHugeId.end()));
  const int first = IndexOfId(form.vst, "KB5000001");
  EXPECT_EQ(CellText(list, first, 2, 200000).size(), kHugeDescription.size());
  EXPECT_EQ(CellText(list, huge, 2, 100),
            L"Mise \u00e0 jour de s\u00e9curit\u00e9 \u20ac \u0153\u00e6");
  for (int row = 0; row < 3; ++row) form.vst.FocusNode(form.vst.NodeAt(row));
  whole.PaintNow();

  for (TColumnIndex column : {0, 1, 2, 3, 3}) {
    form.vstHeaderClick(column, TMouseButton::mbLeft, {});
    whole.PaintNow();
    EXPECT_EQ(ListView_GetItemCount(list), 3) << "column " << column;
  }
  form.vstHeaderClick(0, TMouseButton::mbLeft, {});

  // The search box with the first 9,000 characters of the huge identifier's number.
  const std::wstring longSearch(9000, L'7');
  SetWindowTextW(whole.Control(ControlId::EditSearch), longSearch.c_str());
  PumpMessages();
  EXPECT_EQ(RecordOf(form.vst, form.vst.NodeAt(IndexOfId(form.vst, kHugeId)))->MatchState, 1);
  EXPECT_EQ(form.vst.CurrentNode(), form.vst.NodeAt(IndexOfId(form.vst, kHugeId)));

  // "Copier": every line whole, padded to the widest text of its column.
  PutOnClipboard("before");
  whole.Click(ControlId::BtnCopy);
  EXPECT_TRUE(whole.Dialogs().errorReports.empty());
  const std::string copied = ClipboardText();
  EXPECT_NE(copied.find(kHugeDescription), std::string::npos);
  EXPECT_NE(copied.find(kHugeId), std::string::npos);
  EXPECT_NE(copied.find(kAccented), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t at = copied.find("\r\n"); at != std::string::npos;
       at = copied.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 4u);  // three rows, and the CR LF inside the third row's "Installé par"

  // "Lien Web" on the huge identifier: an address of 10,000 characters is refused with a
  // message, never handed to the shell or cut.
  form.vst.FocusNode(form.vst.NodeAt(IndexOfId(form.vst, kHugeId)));
  whole.Click(ControlId::BtnLinkWeb);
  ASSERT_EQ(whole.Dialogs().errorReports.size(), 1u);
  EXPECT_NE(whole.Dialogs().errorReports[0].find("trop longue"), std::string::npos);
  EXPECT_EQ(ListView_GetItemCount(list), 3);
  EXPECT_FALSE(form.Busy);
}

TEST(OddData, HundredThousandRowsWithOddOnesAmongThem) {
  constexpr std::size_t kRows = 100000;
  auto texts = [](std::size_t i) {
    if (i == 500) return Texts{kHugeId, "1/1/2020", kAccented, "SYSTEM"};
    if (i == 70000) return Texts{"KB4000000", "2/2/2020", kHugeDescription, "?????"};
    if (i % 1000 == 7) return Texts{"KB" + std::to_string(3000000 + i), "", kCyrillicAsUtf8, ""};
    return Texts{"KB" + std::to_string(5000000 + (i * 7919) % kRows),
                 std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/20" +
                     std::to_string(10 + i % 15),
                 i % 3 == 0 ? "Security Update" : "Update", "NT AUTHORITY\\SYSTEM"};
  };
  ObjectsSource source(kRows, [&texts](std::size_t i) { return ObjectOf(texts(i)); });
  ini_contract::ScratchFolder folder;
  WholeWindow whole(source, folder.Path().string());
  ASSERT_TRUE(whole.Show());
  TMainForm& form = whole.Form();
  const HWND list = whole.Control(ControlId::vst);

  whole.Click(ControlId::BtnSearch);
  EXPECT_TRUE(whole.Dialogs().errorReports.empty());
  ASSERT_EQ(ListView_GetItemCount(list), static_cast<int>(kRows));
  EXPECT_EQ(form.HotfixCount, static_cast<int>(kRows));
  whole.PaintNow();

  // Every header, each way: no row lost, the huge rows painted where they land.
  for (TColumnIndex column : {1, 2, 3, 0, 0}) {
    form.vstHeaderClick(column, TMouseButton::mbLeft, {});
    ASSERT_EQ(ListView_GetItemCount(list), static_cast<int>(kRows)) << "column " << column;
    const int huge = IndexOfId(form.vst, kHugeId);
    ASSERT_GE(huge, 0) << "column " << column;
    form.vst.FocusNode(form.vst.NodeAt(huge));
    whole.PaintNow();
  }
  EXPECT_GE(IndexOfId(form.vst, "KB4000000"), 0);

  SetWindowTextW(whole.Control(ControlId::EditSearch), L"kb30");
  PumpMessages();
  int marked = 0;
  for (PVirtualNode node = form.vst.FirstNode(); node; node = form.vst.NextNode(node)) {
    marked += RecordOf(form.vst, node)->MatchState == 1 ? 1 : 0;
  }
  EXPECT_EQ(marked, 100);  // KB3000007 ... KB3099007
  whole.PaintNow();

  // Padded to the huge description and the huge identifier, the copy would take gigabytes: it
  // is refused with the message, and the clipboard keeps what it held.
  PutOnClipboard("before");
  whole.Click(ControlId::BtnCopy);
  ASSERT_EQ(whole.Dialogs().errorReports.size(), 1u);
  EXPECT_EQ(whole.Dialogs().errorReports[0],
            "Le texte \xC3\xA0 copier est trop long pour le Presse-papiers");
  EXPECT_EQ(ClipboardText(), "before");

  // And the window goes on: a new scan gives the same rows again.
  whole.Click(ControlId::BtnSearch);
  EXPECT_EQ(ListView_GetItemCount(list), static_cast<int>(kRows));
  EXPECT_FALSE(form.Busy);
}

}  // namespace
