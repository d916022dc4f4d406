#pragma once
// The decisions behind ShowTaskMessage that do not need Windows: the task dialog's texts and
// button translation, and the plan of the French message dialog that stands in for it before
// Vista (or when the task dialog is missing). Texts are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The task dialog's text buffers hold 1024 characters and the terminating zero.
constexpr std::size_t kTaskDialogTextLimit = 1024;

// The content as the task dialog shows it: without keepLineBreaks every LF goes and every CR
// becomes a blank, so a CR LF pair becomes one blank.
std::string TaskDialogContent(std::string_view content, bool keepLineBreaks);

// The first maxCodePoints code points of a UTF-8 text, never splitting a byte sequence. Bytes
// that start no valid sequence count as one code point each.
std::string CutUtf8(std::string_view text, std::size_t maxCodePoints);

// The result code of the task dialog's pressed button: 1, 2, 4, 6 and 7 stay, 8 (Close) is 3,
// anything else (0 included) is 1.
int TranslateTaskDialogButton(int pressed);

enum class MessageDialogType { mtInformation, mtWarning, mtError, mtConfirmation, mtCustom };
enum class MessageDialogIcon { None, Asterisk, Exclamation, Hand, Question };

struct MessageDialogButton {
  std::string caption;
  int result = 0;  // also the button's control id
};

struct MessageDialogPlan {
  MessageDialogType type = MessageDialogType::mtCustom;
  std::string caption;
  MessageDialogIcon icon = MessageDialogIcon::None;
  std::string text;
  std::vector<MessageDialogButton> buttons;  // in the fixed display order
  int defaultResult = 0;  // result of the button Enter presses; 0 when there is none
  int cancelResult = 0;   // result of the button Escape presses; 0 when there is none
  int closeBoxResult = 2;
};

// Dialog type, caption and icon for a task-dialog icon id (81, 84, 98, 99; custom otherwise).
MessageDialogType MessageDialogTypeOfIcon(int icon);
std::string MessageDialogCaption(MessageDialogType type);
MessageDialogIcon MessageDialogIconOf(MessageDialogType type);

// Message-dialog buttons for task-dialog button flags; flags above 32 are ignored. A set that
// would give no button gets "OK", as the task dialog does, so the dialog can always be answered
// from the keyboard.
std::vector<MessageDialogButton> MessageDialogButtons(int taskDialogFlags);

// A plan of the given type, text and buttons, with the default and cancel buttons chosen.
MessageDialogPlan PlanMessageDialog(MessageDialogType type, std::string text,
                                    std::vector<MessageDialogButton> buttons);
// The plan that stands in for a task dialog: text = instruction, an empty line, content.
MessageDialogPlan PlanTaskMessageFallback(std::string_view instruction, std::string_view content,
                                          int icon, int buttons);
// The result of a press of the control id, or 0 when the plan has no such button.
int MessageDialogResultOfButton(const MessageDialogPlan& plan, int controlId);
