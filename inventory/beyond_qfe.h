#pragma once
// Reading the sources beyond WMI (Windows Update's history, the servicing packages) for one
// computer, each on its own: one that fails leaves its list empty and is named among the
// failures, and the other is still read. The window and the console program both read them this
// way, after WMI.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "inventory/cbs_packages.h"
#include "inventory/computer_request.h"
#include "inventory/update_sources.h"
#include "inventory/wu_history.h"

// The Windows Update Agent's history of a computer (inventory/wu_history_win32.cpp).
class UpdateHistorySource {
 public:
  virtual ~UpdateHistorySource() = default;
  // Every entry, as the agent lists them. Raises EOleSysError (UTF-8 message, HRESULT) when
  // the agent cannot be reached or refuses.
  virtual std::vector<WuHistoryEntry> ReadHistory(const ComputerRequest& computer) = 0;
};

// The servicing stack's packages of a computer (inventory/cbs_packages_win32.cpp).
class ServicingPackageSource {
 public:
  virtual ~ServicingPackageSource() = default;
  // Every "Package_for_" subkey's values; empty where Windows keeps no packages (XP). Looks at
  // `stop` before each package and then returns what it has. Raises EOleSysError when the
  // registry cannot be opened (the remote registry service stopped, access denied).
  virtual std::vector<CbsPackageValues> ReadPackages(const ComputerRequest& computer,
                                                     const std::atomic<bool>& stop) = 0;
};

// Where installed updates are read from: WMI's hotfixes first, then the sources beyond it.
enum class UpdateSource { Wmi, WindowsUpdate, ServicingPackages };

struct SourceFailure {
  UpdateSource source = UpdateSource::WindowsUpdate;
  std::int32_t code = 0;  // an HRESULT; kCancelledCode when the user stopped the reading
  std::string text;       // UTF-8
};

struct BeyondQfeUpdates {
  std::vector<FoundUpdate> windowsUpdate;  // ordered by KB
  std::vector<FoundUpdate> packages;       // ordered by KB
  std::vector<SourceFailure> failures;     // in the order above
};

// Reads the sources `which` names, Windows Update first. `stop`, seen before a source or
// during the packages, ends the reading: what is not read yet fails with kCancelledCode. Any
// exception of a source other than running out of memory becomes that source's failure.
BeyondQfeUpdates ReadBeyondQfe(UpdateSources which, const ComputerRequest& computer,
                               UpdateHistorySource& history, ServicingPackageSource& packages,
                               const std::atomic<bool>& stop);

// What a source stopped by the user says of itself (kCancelledCode). UTF-8.
inline constexpr char kStoppedText[] = "Arr\xC3\xAAt\xC3\xA9 par l'utilisateur";

// Every source `which` names, failed with the same code and text (a stop, no thread to read on).
BeyondQfeUpdates SourcesFailed(UpdateSources which, std::int32_t code, const std::string& text);

// How the user reads a source's name: "WMI", "Windows Update", "paquets de maintenance". UTF-8.
std::string SourceName(UpdateSource source);

// "<source> : <text>", or "<source> : 0x<CODE> <text>" with its code: how a source that could
// not be read is told, in the window's dialog, the console's messages and the exports. UTF-8.
std::string SourceFailureLine(const SourceFailure& failure, bool withCode);

// The failures the user is told about (a stop asked for is not one), one SourceFailureLine with
// its code each, one line each. Empty when there is none. UTF-8.
std::string SourceFailuresText(const std::vector<SourceFailure>& failures);
