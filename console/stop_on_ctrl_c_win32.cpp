#include "console/stop_on_ctrl_c_win32.h"

#include <windows.h>

namespace {

std::atomic<bool>* stopFlag = nullptr;

// Runs on a thread the system creates for the signal. A second Ctrl+C goes on to the system's
// own handler, which ends the process: a user who insists is not kept waiting on a computer.
BOOL WINAPI OnConsoleSignal(DWORD signal) {
  if (signal != CTRL_C_EVENT && signal != CTRL_BREAK_EVENT) return FALSE;
  if (!stopFlag || stopFlag->exchange(true)) return FALSE;
  return TRUE;
}

}  // namespace

void StopOnCtrlC(std::atomic<bool>& stop) {
  stopFlag = &stop;
  SetConsoleCtrlHandler(OnConsoleSignal, TRUE);
}
