#pragma once
// The French message dialog: a real dialog (class "#32770") built from an in-memory template,
// laid out from its plan (app/chrome/task_message.h) and centred on the screen.
#include <windows.h>

#include "app/chrome/task_message.h"

// Modal; returns the result of the button that closed it, the plan's close-box result for the
// close box, or 0 when the dialog could not be created.
int ShowMessageDialog(HWND owner, const MessageDialogPlan& plan);
