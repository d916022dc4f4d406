#include "inventory/beyond_qfe.h"

#include <exception>
#include <new>
#include <utility>

#include "Systeme/errors.h"
#include "Systeme/hresult_text.h"

namespace {

template <typename Read>
void ReadOne(UpdateSource source, BeyondQfeUpdates& result, const std::atomic<bool>& stop,
             Read read) {
  if (stop.load()) {
    result.failures.push_back({source, kCancelledCode, kStoppedText});
    return;
  }
  try {
    read();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const EOleSysError& error) {
    result.failures.push_back({source, error.ErrorCode(), error.what()});
  } catch (const std::exception& error) {
    result.failures.push_back({source, kUnexpectedCode, error.what()});
  }
}

}  // namespace

BeyondQfeUpdates ReadBeyondQfe(UpdateSources which, const ComputerRequest& computer,
                               UpdateHistorySource& history, ServicingPackageSource& packages,
                               const std::atomic<bool>& stop) {
  BeyondQfeUpdates result;
  if (which.windowsUpdate) {
    ReadOne(UpdateSource::WindowsUpdate, result, stop,
            [&] { result.windowsUpdate = InstalledFromHistory(history.ReadHistory(computer)); });
  }
  if (which.servicingPackages) {
    ReadOne(UpdateSource::ServicingPackages, result, stop, [&] {
      std::vector<CbsPackageValues> values = packages.ReadPackages(computer, stop);
      // Packages read before a stop are true but not all of them: the source counts as stopped,
      // and what it read is kept like the rows of a stopped WMI scan.
      result.packages = InstalledFromPackages(values);
      if (stop.load()) {
        result.failures.push_back({UpdateSource::ServicingPackages, kCancelledCode, kStoppedText});
      }
    });
  }
  return result;
}

BeyondQfeUpdates SourcesFailed(UpdateSources which, std::int32_t code, const std::string& text) {
  BeyondQfeUpdates result;
  if (which.windowsUpdate) result.failures.push_back({UpdateSource::WindowsUpdate, code, text});
  if (which.servicingPackages) {
    result.failures.push_back({UpdateSource::ServicingPackages, code, text});
  }
  return result;
}

std::string SourceName(UpdateSource source) {
  switch (source) {
    case UpdateSource::Wmi:
      return "WMI";
    case UpdateSource::WindowsUpdate:
      return "Windows Update";
    case UpdateSource::ServicingPackages:
      break;
  }
  return "paquets de maintenance";
}

std::string SourceFailureLine(const SourceFailure& failure, bool withCode) {
  // French puts a no-break space before the colon.
  std::string line = SourceName(failure.source) + "\xC2\xA0: ";
  if (withCode) line += HresultText(failure.code) + " ";
  return line + failure.text;
}

std::string SourceFailuresText(const std::vector<SourceFailure>& failures) {
  std::string text;
  for (const SourceFailure& failure : failures) {
    if (failure.code == kCancelledCode) continue;
    if (!text.empty()) text += "\n";
    text += SourceFailureLine(failure, true);
  }
  return text;
}
