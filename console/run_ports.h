#pragma once
// What the concurrent run over computers needs from the system: threads, a mailbox the threads
// post to, and a clock. The Windows build has no std::thread or std::mutex, so the run gets them
// through these ports (Win32 adapters in the console program, std::thread ones for the tests).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "inventory/computer_inventory.h"

class ThreadStarter {
 public:
  virtual ~ThreadStarter() = default;
  // Runs `work` on a new thread of its own and returns at once: the caller never waits for that
  // thread. On Windows the thread initialises COM before `work` starts and uninitialises it
  // after `work`, and everything it holds, is destroyed: the objects a computer's source makes
  // live and die on that thread. `work` owns everything it touches and never throws. False when
  // no thread could be made; `work` is then destroyed without having run.
  virtual bool Start(std::function<void()> work) = 0;
  // Runs `work` on the calling thread and returns once it is done, COM set up and left as Start
  // does: for a run of this computer alone, which has no network to wait on and no other
  // computer to keep going, and so needs no thread of its own.
  virtual void RunHere(std::function<void()> work) { work(); }
};

// What a computer's thread tells the run.
struct RunEvent {
  enum class Kind {
    Connected,  // the computer answered: the enumeration of its hotfixes is open
    // WMI is read and Windows Update's history is asked for next, a call that nothing can cut
    // short; `result` holds what WMI gave, what the run keeps if the history never comes.
    AskingHistory,
    HistoryRead,  // the history came (or failed): the thread goes on on its own
    Finished,     // the thread is done; `result` holds the computer's inventory
  };
  std::size_t index = 0;  // the computer's position in the request list
  Kind kind = Kind::Finished;
  ComputerInventory result;
};

// A queue of events, posted from any thread, taken by the run's thread alone. It is shared
// (std::shared_ptr) with every computer's thread: a thread given up after its timeout may still
// post once the run is over.
class RunMailbox {
 public:
  virtual ~RunMailbox() = default;
  // Adds the event at the end; never blocks for long (a lock held only to queue or unqueue).
  virtual void Post(RunEvent event) = 0;
  // The oldest event, waiting up to `milliseconds` for one to arrive (0: only looks); nullopt
  // when none came in that time.
  virtual std::optional<RunEvent> WaitFor(std::uint32_t milliseconds) = 0;
};

// Milliseconds since any moment, counting up; it may wrap round at 2^32 (GetTickCount does):
// the run only uses differences between two readings.
using RunClock = std::function<std::uint32_t()>;
