#include "app/chrome/task_message.h"

#include <array>
#include <initializer_list>
#include <utility>

#include "app/chrome/dialogs.h"

namespace {

struct ButtonRule {
  int flag;  // task-dialog flag that asks for it; 0 for none
  const char* caption;
  int result;
};

// The message dialog's buttons in the order they always appear.
constexpr std::array<ButtonRule, 7> kButtonOrder{{
    {tdbYes, "&Oui", mrYes},
    {tdbNo, "&Non", mrNo},
    {tdbOk, "OK", mrOk},
    {tdbCancel, "Annuler", mrCancel},
    {tdbClose, "&Abandonner", mrAbort},
    {tdbRetry, "&Retenter", mrRetry},
    {0, "&Ignorer", mrIgnore},
}};

bool HasButton(const std::vector<MessageDialogButton>& buttons, int result) {
  for (const MessageDialogButton& button : buttons) {
    if (button.result == result) return true;
  }
  return false;
}

// The first of the candidates the dialog holds, or 0.
int FirstPresent(const std::vector<MessageDialogButton>& buttons,
                 std::initializer_list<int> order) {
  for (int result : order) {
    if (HasButton(buttons, result)) return result;
  }
  return 0;
}

bool IsContinuationByte(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence starting at text[at], or 1 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  if (at + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuationByte(static_cast<unsigned char>(text[at + i]))) return 1;
  }
  return length;
}

}  // namespace

std::string TaskDialogContent(std::string_view content, bool keepLineBreaks) {
  if (keepLineBreaks) return std::string(content);
  std::string result;
  result.reserve(content.size());
  for (char c : content) {
    if (c == '\n') continue;
    result.push_back(c == '\r' ? ' ' : c);
  }
  return result;
}

std::string CutUtf8(std::string_view text, std::size_t maxCodePoints) {
  std::size_t at = 0;
  for (std::size_t count = 0; count < maxCodePoints && at < text.size(); ++count) {
    at += SequenceLength(text, at);
  }
  return std::string(text.substr(0, at));
}

int TranslateTaskDialogButton(int pressed) {
  switch (pressed) {
    case 1:
    case 2:
    case 4:
    case 6:
    case 7:
      return pressed;
    case 8:
      return mrAbort;
    default:
      return mrOk;
  }
}

MessageDialogType MessageDialogTypeOfIcon(int icon) {
  switch (icon) {
    case tdIconInformation:
      return MessageDialogType::mtInformation;
    case tdIconWarning:
      return MessageDialogType::mtWarning;
    case tdIconError:
      return MessageDialogType::mtError;
    case tdIconQuestion:
      return MessageDialogType::mtConfirmation;
    default:
      return MessageDialogType::mtCustom;
  }
}

std::string MessageDialogCaption(MessageDialogType type) {
  switch (type) {
    case MessageDialogType::mtInformation:
      return "Information";
    case MessageDialogType::mtWarning:
      return "Avertissement";
    case MessageDialogType::mtError:
      return "Erreur";
    case MessageDialogType::mtConfirmation:
      return "Confirmation";
    case MessageDialogType::mtCustom:
      break;
  }
  return "Fixtally";
}

MessageDialogIcon MessageDialogIconOf(MessageDialogType type) {
  switch (type) {
    case MessageDialogType::mtInformation:
      return MessageDialogIcon::Asterisk;
    case MessageDialogType::mtWarning:
      return MessageDialogIcon::Exclamation;
    case MessageDialogType::mtError:
      return MessageDialogIcon::Hand;
    case MessageDialogType::mtConfirmation:
      return MessageDialogIcon::Question;
    case MessageDialogType::mtCustom:
      break;
  }
  return MessageDialogIcon::None;
}

std::vector<MessageDialogButton> MessageDialogButtons(int taskDialogFlags) {
  std::vector<MessageDialogButton> buttons;
  for (const ButtonRule& rule : kButtonOrder) {
    if (rule.flag != 0 && (taskDialogFlags & rule.flag) != 0) {
      buttons.push_back({rule.caption, rule.result});
    }
  }
  if (buttons.empty()) buttons.push_back({"OK", mrOk});
  return buttons;
}

MessageDialogPlan PlanMessageDialog(MessageDialogType type, std::string text,
                                    std::vector<MessageDialogButton> buttons) {
  MessageDialogPlan plan;
  plan.type = type;
  plan.caption = MessageDialogCaption(type);
  plan.icon = MessageDialogIconOf(type);
  plan.text = std::move(text);
  plan.buttons = std::move(buttons);
  plan.defaultResult = FirstPresent(plan.buttons, {mrOk, mrYes, mrRetry});
  plan.cancelResult = FirstPresent(plan.buttons, {mrCancel, mrNo, mrOk});
  return plan;
}

MessageDialogPlan PlanTaskMessageFallback(std::string_view instruction, std::string_view content,
                                          int icon, int buttons) {
  std::string text;
  text.reserve(instruction.size() + 4 + content.size());
  text.append(instruction).append("\r\n\r\n").append(content);
  return PlanMessageDialog(MessageDialogTypeOfIcon(icon), std::move(text),
                           MessageDialogButtons(buttons));
}

int MessageDialogResultOfButton(const MessageDialogPlan& plan, int controlId) {
  return HasButton(plan.buttons, controlId) ? controlId : 0;
}
