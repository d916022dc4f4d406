#include "console/stop_on_ctrl_c_win32.h"

#include <windows.h>

namespace {

std::atomic<bool>* stopFlag = nullptr;

// Runs on a thread the system creates for the signal.
BOOL WINAPI OnConsoleSignal(DWORD signal) {
  if (signal != CTRL_C_EVENT && signal != CTRL_BREAK_EVENT) return FALSE;
  if (stopFlag) stopFlag->store(true);
  return TRUE;
}

}  // namespace

void StopOnCtrlC(std::atomic<bool>& stop) {
  stopFlag = &stop;
  SetConsoleCtrlHandler(OnConsoleSignal, TRUE);
}
