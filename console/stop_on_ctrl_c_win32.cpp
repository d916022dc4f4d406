#include "console/stop_on_ctrl_c_win32.h"

#include <windows.h>

#include "console/exit_code.h"

namespace {

std::atomic<bool>* stopFlag = nullptr;

// Runs on a thread the system creates for the signal. A second Ctrl+C ends the process at once,
// with the exit code of a run not read completely: the system's own handler would end it with
// 0xC000013A, which cmd's "if errorlevel 1" reads as success (a negative errorlevel).
BOOL WINAPI OnConsoleSignal(DWORD signal) {
  if (signal != CTRL_C_EVENT && signal != CTRL_BREAK_EVENT) return FALSE;
  if (!stopFlag) return FALSE;
  if (stopFlag->exchange(true)) TerminateProcess(GetCurrentProcess(), kExitIncomplete);
  return TRUE;
}

}  // namespace

void StopOnCtrlC(std::atomic<bool>& stop) {
  stopFlag = &stop;
  SetConsoleCtrlHandler(OnConsoleSignal, TRUE);
}
