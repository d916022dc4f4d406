#include "bench/bare_list_win32.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>
#include <utility>

#include "inventory/kb_rules.h"

namespace {

constexpr wchar_t kWindowClass[] = L"FixtallyBareListWindow";
constexpr int kColumns = 4;
// Column by column, the property each shows, in the list's order.
constexpr const char* kProperties[kColumns] = {"HotFixID", "InstalledOn", "Description",
                                               "InstalledBy"};

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSW windowClass{};
  if (GetClassInfoW(instance, kWindowClass, &windowClass)) return true;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassW(&windowClass) != 0;
}

}  // namespace

BareList::BareList(HWND model, POINT position) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance, WindowProc)) return;
  RECT bounds{};
  GetWindowRect(model, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  window_ = CreateWindowExW(0, kWindowClass, L"", WS_POPUP | WS_VISIBLE, position.x, position.y,
                            width, height, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                              LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                          0, 0, width, height, window_, nullptr, instance, nullptr);
  if (list_ == nullptr) return;
  SendMessageW(list_, WM_SETFONT, SendMessageW(model, WM_GETFONT, 0, 0), FALSE);
  const DWORD extended = ListView_GetExtendedListViewStyle(model);
  ListView_SetExtendedListViewStyleEx(list_, extended, extended);
  // The report view makes a row as high as its small images: the model's row height.
  int imageWidth = 1, imageHeight = 0;
  if (const HIMAGELIST images = ListView_GetImageList(model, LVSIL_SMALL);
      images != nullptr && ImageList_GetIconSize(images, &imageWidth, &imageHeight)) {
    rowHeight_.reset(ImageList_Create(imageWidth, imageHeight, ILC_COLOR32, 0, 1));
    ListView_SetImageList(list_, rowHeight_.get(), LVSIL_SMALL);
  }
  for (int column = 0; column < kColumns; ++column) {
    wchar_t text[128] = L"";
    LVCOLUMNW copied{};
    copied.mask = LVCF_TEXT | LVCF_WIDTH;
    copied.pszText = text;
    copied.cchTextMax = static_cast<int>(std::size(text));
    ListView_GetColumn(model, column, &copied);
    ListView_InsertColumn(list_, column, &copied);
  }
  UpdateWindow(window_);
}

BareList::~BareList() {
  if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT CALLBACK BareList::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* self = reinterpret_cast<const BareList*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NOTIFY && self != nullptr) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom == self->list_ && header->code == LVN_GETDISPINFOW) {
      self->FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void BareList::FillDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
  if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= order_.size() ||
      item.iSubItem < 0 || item.iSubItem >= kColumns) {
    item.pszText[0] = L'\0';
    return;
  }
  const std::string& text = rows_[order_[item.iItem].row][item.iSubItem];
  const int length = static_cast<int>(std::min<std::size_t>(text.size(), item.cchTextMax - 1));
  const int written =
      length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, item.pszText, length);
  item.pszText[written] = L'\0';
  ++textsGiven_;
}

void BareList::ReadRows(HotfixSource& source) {
  std::vector<Row> rows;
  std::vector<std::uint32_t> numbers;
  const auto service = source.ConnectServer("", "root\\cimv2", "", "");
  const auto objects = service->InstancesOf("Win32_QuickFixEngineering");
  while (const auto object = objects->Next()) {
    Row& row = rows.emplace_back();
    for (int column = 0; column < kColumns; ++column) {
      HotfixProperty property = object->Property(kProperties[column]);
      if (property.CIMType == wbemCimtypeString && property.Value)
        row[column] = std::move(*property.Value);
    }
    numbers.push_back(static_cast<std::uint32_t>(KbNumber(row[0])));
  }
  rows_ = std::move(rows);
  keys_[0] = std::move(numbers);
  order_.resize(rows_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) order_[i].row = static_cast<std::uint32_t>(i);
  Order(0, std::less<>());
}

template <typename Before>
void BareList::Order(int column, Before before) {
  const std::vector<std::uint32_t>& keys = keys_[column];
  for (Entry& entry : order_) entry.key = keys[entry.row];
  std::stable_sort(order_.begin(), order_.end(),
                   [before](const Entry& a, const Entry& b) { return before(a.key, b.key); });
}

void BareList::ShowRowCount() {
  ListView_SetItemCountEx(list_, static_cast<int>(order_.size()), 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void BareList::DeriveKeys() {
  for (int column = 1; column < kColumns; ++column) {
    std::map<std::string_view, std::uint32_t> ranks;
    for (const Row& row : rows_) ranks.emplace(row[column], 0);
    std::uint32_t rank = 0;
    for (auto& [text, value] : ranks) value = rank++;
    keys_[column].clear();
    for (const Row& row : rows_) keys_[column].push_back(ranks[row[column]]);
  }
}

void BareList::SortBy(int column, bool descending) {
  if (descending) {
    Order(column, std::greater<>());
  } else {
    Order(column, std::less<>());
  }
  InvalidateRect(list_, nullptr, TRUE);
}

void BareList::PaintNow() {
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}
