#pragma once
// Reading many computers at once: each on a thread of its own, at most `parallel` at a time,
// the results in the order the computers were given whatever order they finish in. A computer
// that does not answer within the timeout is given up (its thread left to end on its own) and
// its place goes to the next one, so a dead host never holds the others up.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "console/run_ports.h"
#include "inventory/beyond_qfe.h"
#include "inventory/computer_inventory.h"
#include "inventory/merge_update_sources.h"
#include "inventory/hotfix_source.h"
#include "inventory/time_zone.h"
#include "Systeme/locale_text.h"

struct RunSettings {
  int parallel = 16;                // computers read at once, 1 or more
  std::uint32_t timeoutMs = 30000;  // the longest a computer may take to answer
  UpdateSources sources{};          // read after WMI, each computer's thread on its own
  // Threads given up on a computer and still alive: a connection given up may live two more
  // minutes inside WMI, and each thread holds its stack's address space, of which a 32-bit
  // process has 2 GB. While this many are alive, new computers wait for one to end.
  std::size_t maxLeftBehind = 1024;
  // The computers are read on the calling thread (ThreadStarter::RunHere), one after the other:
  // for this computer alone. Nothing then bounds the wait for its connection but WMI (two
  // minutes at most, WBEM_FLAG_CONNECT_USE_MAX_WAIT); each object's wait is bounded as ever.
  bool onThisThread = false;
};

// Everything the computers' threads use. The run copies it into a block that every thread
// shares and that lives as long as the last of them, a thread given up included; the functions
// and the time zone are therefore called from many threads at once, and after the run is over.
struct RunPorts {
  ThreadStarter& threads;  // used on the run's thread only
  // Makes the run's mailbox, once per run: a thread given up by an earlier run may still post
  // to that run's mailbox, never to this one's.
  std::function<std::shared_ptr<RunMailbox>()> makeMailbox;
  RunClock clock;  // called on the run's thread only
  // Makes the source a thread reads its computer from; called on that thread, once it is in its
  // COM apartment.
  std::function<std::unique_ptr<HotfixSource>()> makeSource;
  TFormatSettings displaySettings;     // the user's formats, for the dates of the rows
  std::shared_ptr<TimeZone> timeZone;  // UTC to local time for the dates; thread-safe
  int currentYear = 0;                 // for dates written without their year
  // Made like makeSource for the sources beyond WMI, only when RunSettings::sources names them.
  std::function<std::unique_ptr<UpdateHistorySource>()> makeHistorySource{};
  std::function<std::unique_ptr<ServicingPackageSource>()> makePackageSource{};
  UpdateRowTexts rowTexts{};  // their rows' fixed texts, system code page
};

// Called on the run's thread each time a computer is settled: how many are, out of how many,
// and how many of those are not complete (failed or incomplete).
using RunProgress = std::function<void(std::size_t done, std::size_t total, std::size_t failed)>;

// One inventory per request, in the requests' order.
// - A computer that has not answered (connected and opened its enumeration) within the timeout:
//   Failed, kTimeoutCode, "Pas de réponse dans le délai de N s"; whatever its thread does later
//   is ignored.
// - Each computer is read as inventory/read_computer.h reads one (ReadWmiHotfixes, then the
//   sources beyond WMI), its records collected into its inventory.
// - A computer that answered but then keeps an object waiting longer than the timeout (each
//   object's wait is bounded, HotfixSource::LimitWaitPerObject): Incomplete, kTimeoutCode, with
//   the rows read so far.
// - A computer whose Windows Update history (RunSettings::sources) does not come within the
//   timeout: settled with what WMI gave, not complete (kTimeoutCode, "Windows Update : ...");
//   its packages are not waited for.
// - `stop` (read on the run's thread only, before any computer starts, then before each event
//   and at least every 50 ms): no computer starts any more (those never started: Stopped,
//   kCancelledCode, "Non analysé : arrêt demandé"); those not yet answering are given up at once
//   (Stopped, kCancelledCode); those reading stop before their next object (Incomplete with
//   their rows, kCancelledCode).
// - An account (ComputerRequest::user): computers that use it are read one at a time until one
//   has connected with it; the others wait. When one refuses it (kLogonFailureCode,
//   kAccountLockedCode), the computers with an account not tried yet are not tried at all:
//   Failed with that code, "Non essayé : ...". Repeating a wrong password on every computer
//   would lock a domain account. Computers read without an account are not held up.
// - No thread for a computer: Failed, kUnexpectedCode.
// Returns once every computer is settled; threads given up may still be running then.
std::vector<ComputerInventory> RunComputers(const std::vector<ComputerRequest>& requests,
                                            const RunSettings& settings, const RunPorts& ports,
                                            const std::atomic<bool>& stop,
                                            const RunProgress& progress);
