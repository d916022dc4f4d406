#include "list/list_view_win32.h"

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32_test_support.h"

namespace {

using win32_test::Narrow;
using win32_test::PumpMessages;
using win32_test::PumpUntil;
using win32_test::Widen;

// A parent that hands its notifications to the view, as the main window does.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* view = reinterpret_cast<ListViewWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (view != nullptr && view->HandleNotify(reinterpret_cast<NMHDR*>(lParam), result))
      return result;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

const char* ButtonLetter(TMouseButton button) {
  if (button == TMouseButton::mbLeft) return "L";
  return button == TMouseButton::mbRight ? "R" : "M";
}

struct Row {
  const char* kb;
  const char* date;  // column 1, the one the keyboard search reads
  const char* description;
};

class ListViewTest : public ::testing::Test {
 protected:
  TVirtualStringTree model;
  HWND parent = nullptr;
  HWND list = nullptr;
  HWND header = nullptr;
  std::unique_ptr<ListViewWin32> view;
  std::vector<std::string> headerClicks;
  std::vector<int> trackedColumns;
  std::vector<std::string> errors;
  int textRequests = 0;

  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"FixtallyListViewTest";
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    parent = CreateWindowExW(0, L"FixtallyListViewTest", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 700,
                             400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    list = CreateWindowExW(ListViewWin32::kExtendedStyle, WC_LISTVIEWW, L"",
                           ListViewWin32::kWindowStyle, 0, 0, 660, 300, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    header = ListView_GetHeader(list);

    for (const char* caption : {"KB Windows", "Installé le", "Description", "Installé par"})
      model.AddColumn(caption, 150);
    model.OnGetNodeDataSize = [](int& size) { size = 4; };
    model.OnFreeNode = [this](PVirtualNode node) { model.NodeRecord(node)->reset(); };
    model.OnGetText = [this](PVirtualNode node, TColumnIndex column, std::string& text) {
      ++textRequests;
      const TTreeDataClass* record = Record(node);
      if (record == nullptr) return;
      if (column == 0) text = record->HotFixID;
      if (column == 1) text = record->InstalledOn;
      if (column == 2) text = record->Description;
    };
    model.OnCompareNodes = [this](PVirtualNode a, PVirtualNode b, TColumnIndex column,
                                  int& result) {
      if (column != 0 || Record(a) == nullptr || Record(b) == nullptr) return;
      result = std::string_view(Record(a)->HotFixID).compare(Record(b)->HotFixID) < 0 ? -1 : 1;
    };
    model.OnHeaderClick = [this](TColumnIndex column, TMouseButton button, TShiftState shift) {
      headerClicks.push_back(std::to_string(column) + ButtonLetter(button) +
                             (shift.doubleClick ? "2" : ""));
    };
    model.OnAfterColumnWidthTracking = [this](TColumnIndex column) {
      trackedColumns.push_back(column);
    };
    model.SetRootNodeCount(1);
    model.SetRootNodeCount(0);

    view = std::make_unique<ListViewWin32>(list, model);
    view->onError = [this](const std::string& message) { errors.push_back(message); };
    SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.get()));
    ShowWindow(parent, SW_SHOWNORMAL);
    UpdateWindow(parent);
    PumpMessages();
  }

  void TearDown() override {
    if (parent != nullptr) SetWindowLongPtrW(parent, GWLP_USERDATA, 0);
    view.reset();
    model.ClearNodes();
    if (parent != nullptr) DestroyWindow(parent);
    PumpMessages();
  }

  TTreeDataClass* Record(PVirtualNode node) {
    RecordSlot* slot = model.NodeRecord(node);
    return slot != nullptr ? slot->get() : nullptr;
  }

  void AddRows(const std::vector<Row>& rows) {
    model.BeginBatch();
    for (const Row& row : rows) {
      auto record = std::make_unique<TTreeDataClass>();
      record->HotFixID = row.kb;
      record->InstalledOn = row.date;
      record->Description = row.description;
      *model.NodeRecord(model.AppendNode()) = std::move(record);
    }
    model.EndBatch();
  }

  std::wstring CellText(int row, int column) {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  std::vector<std::wstring> Column0() {
    std::vector<std::wstring> texts;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) texts.push_back(CellText(row, 0));
    return texts;
  }
  int SortMark(int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, column, &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  std::vector<int> ColumnOrder() {
    std::vector<int> order(4, -1);
    ListView_GetColumnOrderArray(list, 4, order.data());
    return order;
  }
  RECT HeaderItem(int column) {
    RECT bounds{};
    Header_GetItemRect(header, column, &bounds);
    return bounds;
  }
  void MouseToHeader(UINT message, int x, int y) {
    const WPARAM keys = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0;
    SendMessageW(header, message, keys, MAKELPARAM(x, y));
  }
};

TEST_F(ListViewTest, MirrorsRowsTextsAndCaptions) {
  AddRows({{"KB3", "3/1/2020", "Mise \xE0 jour"}, {"KB1", "1/1/2020", "Correctif"}});
  EXPECT_EQ(ListView_GetItemCount(list), 2);
  EXPECT_EQ(CellText(0, 0), L"KB1");
  EXPECT_EQ(CellText(1, 2), L"Mise \u00E0 jour");  // the record's code page 1252 text
  EXPECT_EQ(CellText(1, 3), L"");
  EXPECT_EQ(CellText(5, 0), L"");  // past the last row

  wchar_t caption[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = caption;
  column.cchTextMax = 64;
  SendMessageW(list, LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(Narrow(caption), "Installé par");
  EXPECT_EQ(ListView_GetColumnWidth(list, 1), 150);

  RECT headerBounds{};
  GetWindowRect(header, &headerBounds);
  EXPECT_EQ(headerBounds.bottom - headerBounds.top, ListViewWin32::kHeaderHeight);
  RECT row{};
  ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
  EXPECT_EQ(row.bottom - row.top, ListViewWin32::kRowHeight);
  EXPECT_EQ(row.top, headerBounds.bottom - headerBounds.top);
}

TEST_F(ListViewTest, SortMarkAndOrderFollowTheModel) {
  AddRows({{"KB2", "", ""}, {"KB3", "", ""}, {"KB1", "", ""}});
  const struct {
    TColumnIndex column;
    TSortDirection direction;
    std::vector<int> marks;
    std::vector<std::wstring> rows;
  } cases[] = {
      {0, sdAscending, {HDF_SORTUP, 0, 0, 0}, {L"KB1", L"KB2", L"KB3"}},
      {0, sdDescending, {HDF_SORTDOWN, 0, 0, 0}, {L"KB3", L"KB2", L"KB1"}},
      {2, sdDescending, {0, 0, HDF_SORTDOWN, 0}, {L"KB3", L"KB2", L"KB1"}},
      {3, sdAscending, {0, 0, 0, HDF_SORTUP}, {L"KB3", L"KB2", L"KB1"}},
      {-1, sdAscending, {0, 0, 0, 0}, {L"KB3", L"KB2", L"KB1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    model.SetSortColumn(c.column);
    model.SetSortDirection(c.direction);
    for (int column = 0; column < 4; ++column) EXPECT_EQ(SortMark(column), c.marks[column]);
    EXPECT_EQ(Column0(), c.rows);
  }
}

TEST_F(ListViewTest, ColumnOrderGoesBothWays) {
  model.SetColumnOrder({3, 0, 1, 2});
  EXPECT_EQ(ColumnOrder(), (std::vector<int>{3, 0, 1, 2}));

  // The user drags the header of column 1 onto the first place.
  const RECT from = HeaderItem(1);
  const RECT to = HeaderItem(3);
  const int y = (from.top + from.bottom) / 2;
  MouseToHeader(WM_LBUTTONDOWN, (from.left + from.right) / 2, y);
  MouseToHeader(WM_MOUSEMOVE, (from.left + from.right) / 2 - 20, y);
  MouseToHeader(WM_MOUSEMOVE, to.left + 5, y);
  MouseToHeader(WM_LBUTTONUP, to.left + 5, y);
  ASSERT_TRUE(PumpUntil([&] { return model.Column(1).Position == 0; }));
  EXPECT_EQ(ColumnOrder(), (std::vector<int>{1, 3, 0, 2}));
  EXPECT_EQ(model.Column(3).Position, 1);
  EXPECT_TRUE(headerClicks.empty());
}

TEST_F(ListViewTest, HeaderClicksReachTheModel) {
  NMLISTVIEW click{};
  click.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_COLUMNCLICK};
  click.iItem = -1;
  click.iSubItem = 2;
  SendMessageW(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(headerClicks, (std::vector<std::string>{"2L"}));

  // A double click on a column's header is two clicks, the second marked double, whichever
  // way the header reports it: Wine's sends an item click for the first release only, Windows'
  // also for the second.
  const RECT item = HeaderItem(1);
  const int x = (item.left + item.right) / 2;
  const int y = (item.top + item.bottom) / 2;
  for (const bool windowsHeader : {false, true}) {
    headerClicks.clear();
    MouseToHeader(WM_LBUTTONDOWN, x, y);
    MouseToHeader(WM_LBUTTONUP, x, y);
    MouseToHeader(WM_LBUTTONDBLCLK, x, y);
    if (windowsHeader) {
      NMHEADERW release{};
      release.hdr = {header, static_cast<UINT_PTR>(GetDlgCtrlID(header)), HDN_ITEMCLICKW};
      release.iItem = 1;
      SendMessageW(list, WM_NOTIFY, release.hdr.idFrom, reinterpret_cast<LPARAM>(&release));
    }
    MouseToHeader(WM_LBUTTONUP, x, y);
    PumpMessages();
    EXPECT_EQ(headerClicks, (std::vector<std::string>{"1L", "1L2"}))
        << (windowsHeader ? "Windows' header" : "Wine's header");
  }
  // The next single click counts again.
  headerClicks.clear();
  MouseToHeader(WM_LBUTTONDOWN, x, y);
  MouseToHeader(WM_LBUTTONUP, x, y);
  PumpMessages();
  EXPECT_EQ(headerClicks, (std::vector<std::string>{"1L"}));

  // Other buttons report on release over a column; right of the last column is nowhere.
  headerClicks.clear();
  const RECT last = HeaderItem(3);
  MouseToHeader(WM_RBUTTONDOWN, last.left + 5, y);
  MouseToHeader(WM_RBUTTONUP, last.left + 5, y);
  MouseToHeader(WM_MBUTTONUP, x, y);
  MouseToHeader(WM_RBUTTONUP, last.right + 40, y);
  PumpMessages();
  EXPECT_EQ(headerClicks, (std::vector<std::string>{"3R", "1M"}));
}

TEST_F(ListViewTest, DividerDoubleClickFitsWithoutClickOrTracking) {
  AddRows({{"KB1", "", "Une description assez longue pour cette ligne"}, {"KB2", "", "Courte"}});
  const RECT item = HeaderItem(2);
  const int y = (item.top + item.bottom) / 2;
  MouseToHeader(WM_LBUTTONDOWN, item.right, y);
  MouseToHeader(WM_LBUTTONUP, item.right, y);
  MouseToHeader(WM_LBUTTONDBLCLK, item.right, y);
  MouseToHeader(WM_LBUTTONUP, item.right, y);
  PumpMessages();
  EXPECT_TRUE(headerClicks.empty());
  EXPECT_TRUE(trackedColumns.empty());
  const int fitted = model.Column(2).Width;
  EXPECT_NE(fitted, 150);
  EXPECT_EQ(ListView_GetColumnWidth(list, 2), fitted);

  // A long text is measured whole; the width stops at the column's maximum.
  AddRows({{"KB3", "", std::string(10000, 'W').c_str()}});
  MouseToHeader(WM_LBUTTONDBLCLK, HeaderItem(2).right, y);
  MouseToHeader(WM_LBUTTONUP, HeaderItem(2).right, y);
  PumpMessages();
  EXPECT_EQ(model.Column(2).Width, 10000);
}

TEST_F(ListViewTest, DividerDragReportsTheSettledWidth) {
  const RECT item = HeaderItem(0);
  const int y = (item.top + item.bottom) / 2;
  MouseToHeader(WM_LBUTTONDOWN, item.right, y);
  MouseToHeader(WM_MOUSEMOVE, item.right + 15, y);
  MouseToHeader(WM_MOUSEMOVE, item.right + 30, y);
  MouseToHeader(WM_LBUTTONUP, item.right + 30, y);
  ASSERT_TRUE(PumpUntil([&] { return !trackedColumns.empty(); }));
  EXPECT_EQ(trackedColumns, (std::vector<int>{0}));
  EXPECT_EQ(model.Column(0).Width, 180);
  EXPECT_TRUE(headerClicks.empty());
}

TEST_F(ListViewTest, SelectionAndFocusStayInStep) {
  AddRows({{"KB1", "a", ""}, {"KB2", "b", ""}, {"KB3", "c", ""}});
  model.UserClickNode(model.NodeAt(1));
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
  model.FocusNode(model.NodeAt(2));  // focus only: the selection stays
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);

  // The control moves them, as a click or an arrow key does: the model follows.
  LVITEMW state{};
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(model.SelectedNode(), model.NodeAt(0));
  EXPECT_EQ(model.CurrentNode(), model.NodeAt(0));

  // A sort moves the rows; the marks move with their node.
  model.SetSortDirection(sdDescending);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);
  model.ClearNodes();
  EXPECT_EQ(ListView_GetItemCount(list), 0);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), -1);
}

TEST_F(ListViewTest, TypedCharactersSearchThroughTheModel) {
  AddRows({{"KB1", "apple", ""}, {"KB2", "\xE9t\xE9", ""}, {"KB3", "avocado", ""}});
  SetFocus(list);
  SendMessageW(list, WM_CHAR, L'a', 0);
  EXPECT_EQ(model.CurrentNode(), model.NodeAt(0));
  SendMessageW(list, WM_CHAR, L'v', 0);
  EXPECT_EQ(model.CurrentNode(), model.NodeAt(2));
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
  SendMessageW(list, WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(model.SearchText(), "a");
  SendMessageW(list, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(model.SearchText(), "");
  SendMessageW(list, WM_CHAR, 0xE9, 0);  // é, typed as UTF-16, searched in code page 1252
  EXPECT_EQ(model.CurrentNode(), model.NodeAt(1));
  SendMessageW(list, WM_CHAR, 0x4E2D, 0);  // no such character in the code page: no search
  EXPECT_EQ(model.SearchText(), "\xE9");
}

TEST_F(ListViewTest, TextColoursComeFromTheRowStateThenTheModel) {
  AddRows({{"KB1", "", ""}, {"KB2", "", ""}});
  model.OnPaintText = [this](PVirtualNode node, TColumnIndex, TColor& color) {
    if (node == model.NodeAt(1)) color = clBlue;
  };
  HDC dc = GetDC(list);
  auto cellColour = [&](int row, UINT& itemState, COLORREF& background) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {list, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.hdc = dc;
    draw.nmcd.uItemState = ListView_GetItemState(list, row, LVIS_SELECTED) ? CDIS_SELECTED : 0;
    draw.clrTextBk = CLR_DEFAULT;
    draw.iSubItem = 2;
    LRESULT result = 0;
    EXPECT_TRUE(view->HandleNotify(&draw.nmcd.hdr, result));
    itemState = draw.nmcd.uItemState;
    background = draw.clrTextBk;
    return draw.clrText;
  };
  UINT state = 0;
  COLORREF background = 0;
  EXPECT_EQ(cellColour(0, state, background), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(cellColour(1, state, background), static_cast<COLORREF>(clBlue));

  // Without the explorer look a selected row is drawn here: highlight while focused.
  SetFocus(list);
  model.UserClickNode(model.NodeAt(0));
  if (GetFocus() == list && !(IsAppThemed() && LOBYTE(LOWORD(GetVersion())) >= 6)) {
    EXPECT_EQ(cellColour(0, state, background), GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(state & CDIS_SELECTED, 0u);
    EXPECT_EQ(background, GetSysColor(COLOR_HIGHLIGHT));
  }
  ReleaseDC(list, dc);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // a real paint too
}

TEST_F(ListViewTest, HundredThousandRowsAreAskedNotStored) {
  model.BeginBatch();
  for (int i = 0; i < 100000; ++i) {
    auto record = std::make_unique<TTreeDataClass>();
    record->HotFixID = std::string("KB") + std::to_string(1000000 + i);
    *model.NodeRecord(model.AppendNode()) = std::move(record);
  }
  model.EndBatch();
  EXPECT_EQ(ListView_GetItemCount(list), 100000);
  const int before = textRequests;
  EXPECT_EQ(CellText(99999, 0), L"KB1099999");
  EXPECT_EQ(textRequests, before + 1);
  Record(model.NodeAt(99999))->HotFixID = "KB42";
  EXPECT_EQ(CellText(99999, 0), L"KB42");
  model.FocusNode(model.NodeAt(99999));
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 99999);
  EXPECT_GT(ListView_GetTopIndex(list), 0);
}

TEST_F(ListViewTest, HandlerErrorsAreReportedOnceAndLater) {
  AddRows({{"KB1", "", ""}});
  model.OnGetText = [](PVirtualNode, TColumnIndex, std::string&) {
    throw std::runtime_error("lecture impossible");
  };
  EXPECT_EQ(CellText(0, 0), L"");
  EXPECT_EQ(CellText(0, 1), L"");
  EXPECT_TRUE(errors.empty());  // never from inside the control's own call
  ASSERT_TRUE(PumpUntil([&] { return !errors.empty(); }));
  PumpMessages();
  EXPECT_EQ(errors, (std::vector<std::string>{"lecture impossible"}));
}

TEST_F(ListViewTest, EveryErrorOfARepeatedUserActionIsReported) {
  AddRows({{"KB1", "", ""}});
  model.OnDblClick = [] { throw std::runtime_error("adresse trop longue"); };
  NMITEMACTIVATE doubleClick{};
  doubleClick.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), NM_DBLCLK};
  for (int i = 0; i < 2; ++i) {
    SendMessageW(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&doubleClick));
    PumpMessages();
  }
  EXPECT_EQ(errors, (std::vector<std::string>{"adresse trop longue", "adresse trop longue"}));
}

// Both scroll bars are shown whatever the rows, disabled while there is nothing to scroll.
TEST_F(ListViewTest, ScrollBarsAreAlwaysShown) {
  auto bar = [&](LONG object) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetScrollBarInfo(list, object, &info));
    return info.rgstate[0];
  };
  auto expectBars = [&](bool verticalEnabled, bool horizontalEnabled, const char* when) {
    const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL) << when;
    EXPECT_EQ(bar(OBJID_VSCROLL) & STATE_SYSTEM_INVISIBLE, 0u) << when;
    EXPECT_EQ(bar(OBJID_HSCROLL) & STATE_SYSTEM_INVISIBLE, 0u) << when;
    EXPECT_EQ((bar(OBJID_VSCROLL) & STATE_SYSTEM_UNAVAILABLE) == 0, verticalEnabled) << when;
    EXPECT_EQ((bar(OBJID_HSCROLL) & STATE_SYSTEM_UNAVAILABLE) == 0, horizontalEnabled) << when;
  };
  expectBars(false, false, "no rows");
  std::vector<Row> rows(100, Row{"KB1", "", ""});
  AddRows(rows);
  PumpMessages();
  expectBars(true, false, "100 rows");
  model.SetColumnWidth(2, 3000);
  PumpMessages();
  expectBars(true, true, "a column wider than the list");
  model.SetColumnWidth(2, 100);
  model.ClearNodes();
  PumpMessages();
  expectBars(false, false, "emptied, the columns narrow again");
}

}  // namespace
