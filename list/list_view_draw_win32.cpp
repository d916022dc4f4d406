// Painting of the list view: cell texts from the model, text colours, the hot row and the
// vertical column lines.
#include <algorithm>
#include <cstring>

#include "Systeme/text_convert_win32.h"
#include "list/list_view_win32.h"

namespace {

// Copies text into the control's buffer, cut to fit and always terminated. The cell shows
// an ellipsis anyway long before the buffer's few hundred characters run out.
template <typename Char>
void CopyToBuffer(const std::basic_string<Char>& text, Char* buffer, int capacity) {
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(buffer, text.data(), length * sizeof(Char));
  buffer[length] = Char{};
}

}  // namespace

const std::string& ListViewWin32::CellText(int row, int column) {
  cellText_.clear();
  const PVirtualNode node = model_.NodeAt(row);
  if (node != nullptr && model_.OnGetText) model_.OnGetText(node, column, cellText_);
  return cellText_;
}

// With a buffer from the control the text is copied into it; without one the control reads
// ours, which must then stay put until two more requests have been answered.
void ListViewWin32::FillDisplayInfo(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0) return;
  const std::string& text = CellText(item.iItem, item.iSubItem);
  if (item.pszText != nullptr && item.pszText != LPSTR_TEXTCALLBACKW && item.cchTextMax > 0) {
    // Straight into the control's buffer, which the text cannot outgrow by being converted: a
    // character of any code page is as many UTF-16 units as bytes at most. A text too long for
    // the buffer is cut, as the cell would show an ellipsis long before.
    const int fit =
        static_cast<int>(std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1)));
    const int written = fit == 0 ? 0
                                 : MultiByteToWideChar(CP_ACP, 0, text.data(), fit, item.pszText,
                                                       item.cchTextMax - 1);
    item.pszText[written > 0 ? written : 0] = L'\0';
    return;
  }
  std::wstring& kept = wideTexts_[nextText_++ % wideTexts_.size()];
  kept = AnsiToWide(text);
  item.pszText = kept.data();
}

// A control that talks ANSI gets the record's own 8-bit text, unconverted.
void ListViewWin32::FillDisplayInfo(NMLVDISPINFOA& info) {
  LVITEMA& item = info.item;
  if ((item.mask & LVIF_TEXT) == 0) return;
  const std::string& text = CellText(item.iItem, item.iSubItem);
  if (item.pszText != nullptr && item.pszText != LPSTR_TEXTCALLBACKA && item.cchTextMax > 0) {
    CopyToBuffer(text, item.pszText, item.cchTextMax);
    return;
  }
  std::string& kept = ansiTexts_[nextText_++ % ansiTexts_.size()];
  kept = text;
  item.pszText = kept.data();
}

LRESULT ListViewWin32::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
      // The control draws the focus rectangle of a row whose state keeps CDIS_FOCUS.
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_FOCUS);
      // Some versions of the control draw the first cell from this stage alone.
      return CDRF_NOTIFYSUBITEMDRAW | (PaintCell(draw, row, draw.iSubItem) ? CDRF_NEWFONT : 0);
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return PaintCell(draw, row, draw.iSubItem) ? CDRF_NEWFONT : CDRF_DODEFAULT;
    case CDDS_POSTPAINT:
      DrawColumnLines(draw.nmcd.hdc);
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

// The colour the row would have by itself (normal, hot, or highlighted while the list has
// the focus), then the model's word on it. The control overrides the colours of a selected
// row unless it is told the row is not selected, so without the explorer look the selection
// is painted here. True when a font was selected into the DC.
bool ListViewWin32::PaintCell(NMLVCUSTOMDRAW& draw, int row, int column) {
  const bool hot = row == hotRow_;
  COLORREF color = GetSysColor(hot ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT);
  // The selection and the focus come from what is known already, not from the control or the
  // system: a question for every cell painted is a message, under Wine a server's round trip.
  // The explorer look paints the selection itself.
  if (!explorerStyle_ && row == shownSelected_) {
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED);
    draw.clrTextBk = GetSysColor(hasFocus_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    if (hasFocus_) color = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  const PVirtualNode node = model_.NodeAt(row);
  if (node != nullptr && model_.OnPaintText) {
    TColor fontColor = color;
    model_.OnPaintText(node, column, fontColor);
    color = fontColor;
  }
  draw.clrText = color;
  if (hot && !explorerStyle_) {
    if (HFONT font = UnderlinedFont()) {
      SelectObject(draw.nmcd.hdc, font);
      return true;
    }
  }
  return false;
}

HFONT ListViewWin32::UnderlinedFont() {
  auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (font != underlinedFrom_ || !underlined_) {
    LOGFONTW description{};
    if (GetObjectW(font, sizeof description, &description) == 0) return nullptr;
    description.lfUnderline = TRUE;
    underlined_.reset(CreateFontIndirectW(&description));
    underlinedFrom_ = font;
  }
  return underlined_.get();
}

// Vertical lines at every column's right edge, from the header down to the bottom of the
// list, rows or not. The control's own grid lines would also rule every row.
void ListViewWin32::DrawColumnLines(HDC dc) const {
  if (header_ == nullptr) return;
  RECT client{};
  GetClientRect(list_, &client);
  const int top = RowsTop();
  // One pixel wide up to twice the designed resolution, then as many as it holds whole.
  UniqueHpen pen(CreatePen(PS_SOLID, std::max(1, pixelsPerInch_ / 96), GetSysColor(COLOR_BTNFACE)));
  if (!pen) return;
  SelectedObject selected(dc, pen.get());
  const int count = Header_GetItemCount(header_);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (!Header_GetItemRect(header_, i, &item)) continue;
    MapWindowPoints(header_, list_, reinterpret_cast<POINT*>(&item), 2);
    const int x = item.right - 1;
    if (x < client.left || x >= client.right) continue;
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, client.bottom);
  }
}

int ListViewWin32::RowsTop() const {
  RECT client{};
  GetClientRect(list_, &client);
  if (header_ == nullptr || !IsWindowVisible(header_)) return client.top;
  RECT headerBounds{};
  GetWindowRect(header_, &headerBounds);
  MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&headerBounds), 2);
  return std::max(headerBounds.bottom, client.top);
}

// The header is a child that the list does not clip: invalidating the whole client area would
// have it painted again as well, with nothing new on it. Its own changes (the sort mark, widths)
// invalidate it by themselves.
void ListViewWin32::InvalidateRows() {
  RECT rows{};
  GetClientRect(list_, &rows);
  rows.top = RowsTop();
  InvalidateRect(list_, &rows, TRUE);
}
