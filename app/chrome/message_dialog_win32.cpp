#include "app/chrome/message_dialog_win32.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME;
constexpr int kTextId = 100;  // above every result code, which are the buttons' ids
constexpr int kIconId = 101;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;

struct DialogState {
  const MessageDialogPlan* plan = nullptr;
  UniqueHfont font;  // the message font; the controls use it and die before it
};

// The message font of the system (Segoe UI from Vista, Tahoma or MS Shell Dlg before). The
// structure grew in Vista; older systems want the older size.
UniqueHfont CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    metrics.cbSize = CCSIZEOF_STRUCT(NONCLIENTMETRICSW, lfMessageFont);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
      LOGFONTW shellDlg{};
      shellDlg.lfHeight = -11;
      shellDlg.lfCharSet = DEFAULT_CHARSET;
      wcscpy(shellDlg.lfFaceName, L"MS Shell Dlg");
      return UniqueHfont(CreateFontIndirectW(&shellDlg));
    }
  }
  return UniqueHfont(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The ids are integer resources, the same in the A and W forms.
LPCWSTR SystemIconName(MessageDialogIcon icon) {
  switch (icon) {
    case MessageDialogIcon::Asterisk:
      return reinterpret_cast<LPCWSTR>(IDI_ASTERISK);
    case MessageDialogIcon::Exclamation:
      return reinterpret_cast<LPCWSTR>(IDI_EXCLAMATION);
    case MessageDialogIcon::Hand:
      return reinterpret_cast<LPCWSTR>(IDI_HAND);
    case MessageDialogIcon::Question:
      return reinterpret_cast<LPCWSTR>(IDI_QUESTION);
    case MessageDialogIcon::None:
      break;
  }
  return nullptr;
}

// An empty dialog: the controls are made in WM_INITDIALOG, once the font can be measured.
std::vector<DWORD> DialogTemplate(const std::wstring& caption) {
  std::vector<BYTE> bytes(sizeof(DLGTEMPLATE));
  DLGTEMPLATE header{};
  header.style = kDialogStyle;
  header.dwExtendedStyle = kDialogExStyle;
  std::memcpy(bytes.data(), &header, sizeof header);
  const WORD noMenuNoClass[2] = {0, 0};  // class 0: the system dialog class "#32770"
  const auto* words = reinterpret_cast<const BYTE*>(noMenuNoClass);
  bytes.insert(bytes.end(), words, words + sizeof noMenuNoClass);
  const auto* title = reinterpret_cast<const BYTE*>(caption.c_str());
  bytes.insert(bytes.end(), title, title + (caption.size() + 1) * sizeof(wchar_t));
  // The template must start on a DWORD boundary.
  std::vector<DWORD> aligned((bytes.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(aligned.data(), bytes.data(), bytes.size());
  return aligned;
}

HWND AddControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                int id, HFONT font) {
  HWND control = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                                 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

struct Metrics {
  int unitX = 6;  // average character width: a quarter of a horizontal dialog unit's scale
  int unitY = 13;
};

Metrics MeasureFont(HDC dc) {
  Metrics metrics;
  TEXTMETRICW text{};
  SIZE alphabet{};
  static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (GetTextMetricsW(dc, &text)) metrics.unitY = std::max<int>(1, text.tmHeight);
  if (GetTextExtentPoint32W(dc, kAlphabet, 52, &alphabet)) {
    metrics.unitX = std::max<int>(1, (alphabet.cx / 26 + 1) / 2);
  }
  return metrics;
}

void Layout(HWND dialog, DialogState& state) {
  const MessageDialogPlan& plan = *state.plan;
  HFONT font = state.font ? state.font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  WindowDc dc(dialog);
  SelectedObject selected(dc.get(), font);
  const Metrics m = MeasureFont(dc.get());
  const int margin = MulDiv(8, m.unitX, 4);
  const int verticalMargin = MulDiv(8, m.unitY, 8);
  const int spacing = MulDiv(10, m.unitX, 4);
  const int verticalSpacing = MulDiv(10, m.unitY, 8);
  const int buttonGap = MulDiv(4, m.unitX, 4);
  const int buttonHeight = MulDiv(14, m.unitY, 8);

  RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  const std::wstring text = Utf8ToWide(plan.text);
  RECT textRect{0, 0, std::max(100, screenWidth / 2), 0};
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &textRect,
            kTextFormat | DT_CALCRECT);
  int textWidth = textRect.right - textRect.left;
  int textHeight = textRect.bottom - textRect.top;

  const LPCWSTR iconName = SystemIconName(plan.icon);
  const int iconSize = iconName ? GetSystemMetrics(SM_CXICON) : 0;
  const int iconSpace = iconName ? iconSize + spacing : 0;

  std::vector<int> buttonWidths;
  int rowWidth = 0;
  for (const MessageDialogButton& button : plan.buttons) {
    const std::wstring caption = Utf8ToWide(button.caption);
    RECT captionRect{0, 0, 0, 0};
    DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &captionRect,
              DT_CALCRECT | DT_SINGLELINE);
    const int width =
        std::max(MulDiv(50, m.unitX, 4), static_cast<int>(captionRect.right) + 2 * spacing);
    buttonWidths.push_back(width);
    rowWidth += width + (buttonWidths.size() > 1 ? buttonGap : 0);
  }

  // A text taller than the screen is clipped so that the buttons always stay reachable.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kDialogStyle, FALSE, kDialogExStyle);
  const int frameHeight = frame.bottom - frame.top;
  const int maxTextHeight = (workArea.bottom - workArea.top) - frameHeight - 2 * verticalMargin -
                            verticalSpacing - buttonHeight;
  textHeight = std::max(0, std::min(textHeight, maxTextHeight));
  textWidth = std::max(textWidth, 0);

  const int bodyHeight = std::max(textHeight, iconSize);
  const int clientWidth = std::max(iconSpace + textWidth, rowWidth) + 2 * margin;
  const int clientHeight =
      verticalMargin + bodyHeight + verticalSpacing + buttonHeight + verticalMargin;

  const std::wstring noText;
  if (iconName) {
    HWND icon = AddControl(dialog, L"STATIC", noText, SS_ICON, kIconId, font);
    // A shared system icon: it is not ours to destroy.
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, iconName)), 0);
    SetWindowPos(icon, nullptr, margin, verticalMargin, iconSize, iconSize, SWP_NOZORDER);
  }
  HWND label =
      AddControl(dialog, L"STATIC", text, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextId, font);
  SetWindowPos(label, nullptr, margin + iconSpace, verticalMargin, textWidth, textHeight,
               SWP_NOZORDER);

  int x = (clientWidth - rowWidth) / 2;
  const int y = verticalMargin + bodyHeight + verticalSpacing;
  for (std::size_t i = 0; i < plan.buttons.size(); ++i) {
    const MessageDialogButton& button = plan.buttons[i];
    const DWORD kind = button.result == plan.defaultResult ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    HWND control = AddControl(dialog, L"BUTTON", Utf8ToWide(button.caption),
                              WS_TABSTOP | kind | (i == 0 ? WS_GROUP : 0), button.result, font);
    SetWindowPos(control, nullptr, x, y, buttonWidths[i], buttonHeight, SWP_NOZORDER);
    x += buttonWidths[i] + buttonGap;
  }

  RECT window{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&window, kDialogStyle, FALSE, kDialogExStyle);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(dialog, nullptr, std::max(0, (screenWidth - width) / 2),
               std::max(0, (screenHeight - height) / 2), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void FocusFirstChoice(HWND dialog, const MessageDialogPlan& plan) {
  if (plan.defaultResult != 0) SendMessageW(dialog, DM_SETDEFID, plan.defaultResult, 0);
  const int focus = plan.defaultResult     ? plan.defaultResult
                    : plan.cancelResult    ? plan.cancelResult
                    : plan.buttons.empty() ? 0
                                           : plan.buttons.front().result;
  if (HWND button = GetDlgItem(dialog, focus)) SetFocus(button);
}

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<DialogState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Layout(dialog, *state);
      FocusFirstChoice(dialog, *state->plan);
      return FALSE;  // the focus is set
    case WM_CLOSE:
      // The close box, told apart from Escape, which arrives as IDCANCEL.
      if (state) EndDialog(dialog, state->plan->closeBoxResult);
      return TRUE;
    case WM_COMMAND: {
      if (!state || HIWORD(wParam) != BN_CLICKED) return FALSE;
      const int id = LOWORD(wParam);
      // IDCANCEL is Escape or the "Annuler" button, which when present is the cancel button.
      const int result = id == IDCANCEL ? state->plan->cancelResult
                                        : MessageDialogResultOfButton(*state->plan, id);
      if (result != 0) EndDialog(dialog, result);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

int ShowMessageDialog(HWND owner, const MessageDialogPlan& plan) {
  DialogState state;
  state.plan = &plan;
  state.font = CreateMessageFont();
  const std::vector<DWORD> dialogTemplate = DialogTemplate(Utf8ToWide(plan.caption));
  const INT_PTR result = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()), owner,
      MessageDialogProc, reinterpret_cast<LPARAM>(&state));
  return result > 0 ? static_cast<int>(result) : 0;
}
