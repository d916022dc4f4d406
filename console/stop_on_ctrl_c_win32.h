#pragma once
// Ctrl+C and Ctrl+Break ask the run to stop instead of killing the process, so that what was
// read is still written, complete and valid. The flag lives as long as the process.
#include <atomic>

// Sets `stop` on Ctrl+C or Ctrl+Break from now on; a second one ends the process with exit code
// 2. The process's other handlers still see the closing of the console and the end of the
// session.
void StopOnCtrlC(std::atomic<bool>& stop);
