#pragma once
// The run's threads and mailbox on Windows: CreateThread with a COM apartment of its own per
// thread, and a queue guarded by a critical section with a semaphore that counts its events
// (Windows XP has no condition variables).
#include <memory>

#include "console/run_ports.h"

class ThreadStarterWin32 final : public ThreadStarter {
 public:
  bool Start(std::function<void()> work) override;
};

std::shared_ptr<RunMailbox> MakeRunMailboxWin32();

// GetTickCount: milliseconds since the system started, wrapping after 49.7 days.
std::uint32_t RunClockWin32();
