#include "console/scan_computer.h"

#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "Systeme/errors.h"
#include "settings/builtin_texts.h"

namespace {

void Fail(ComputerInventory& inventory, std::int32_t code, std::string text) {
  // Rows read before the failure stay: they are true, only not all of them.
  inventory.status =
      inventory.objectCount > 0 ? InventoryStatus::Incomplete : InventoryStatus::Failed;
  inventory.errorCode = code;
  inventory.errorText = std::move(text);
}

}  // namespace

ComputerInventory ScanComputer(HotfixSource& source, const ComputerRequest& request,
                               const HotfixReading& reading, const std::atomic<bool>& stop,
                               const std::function<void()>& connected) {
  ComputerInventory inventory;
  inventory.computer = request.computer;
  try {
    // The service and the enumeration are released before the result goes back, on this
    // thread, as COM wants.
    std::unique_ptr<HotfixService> service =
        source.ConnectServer(request.computer, request.nameSpace, request.user, request.password);
    std::unique_ptr<HotfixEnumeration> objects;
    if (service) objects = service->InstancesOf(HotfixClassName());
    if (connected) connected();
    while (objects) {
      if (stop.load()) {
        inventory.status = InventoryStatus::Incomplete;
        inventory.errorCode = kCancelledCode;
        inventory.errorText = kStoppedText;
        return inventory;
      }
      std::unique_ptr<HotfixObject> object = objects->Next();
      if (!object) break;
      ++inventory.objectCount;
      if (std::unique_ptr<TTreeDataClass> record = ReadHotfixRecord(*object, reading)) {
        inventory.rows.push_back(std::move(*record));
      }
    }
  } catch (const EOleSysError& error) {
    Fail(inventory, error.ErrorCode(), error.what());
  } catch (const std::exception& error) {
    Fail(inventory, kUnexpectedCode, error.what());
  } catch (...) {  // a source may raise anything; one computer's failure must not end the run
    Fail(inventory, kUnexpectedCode, "Erreur inattendue");
  }
  return inventory;
}

void AddBeyondQfeRows(ComputerInventory& inventory, const BeyondQfeUpdates& found,
                      const UtcDateWriter& writeDate, const UpdateRowTexts& texts) {
  std::vector<const TTreeDataClass*> qfe;
  qfe.reserve(inventory.rows.size());
  for (const TTreeDataClass& row : inventory.rows) qfe.push_back(&row);
  std::vector<TTreeDataClass> added =
      MergeBeyondQfe(qfe, found.windowsUpdate, found.packages, writeDate, texts);
  inventory.objectCount += static_cast<std::int32_t>(added.size());
  for (TTreeDataClass& row : added) inventory.rows.push_back(std::move(row));
  if (!added.empty() && inventory.status == InventoryStatus::Failed) {
    inventory.status = InventoryStatus::Incomplete;
  }

  NoteSourceFailures(inventory, found.failures);
}

void NoteSourceFailures(ComputerInventory& inventory, const std::vector<SourceFailure>& failures) {
  if (failures.empty()) return;
  std::string text;
  for (const SourceFailure& failure : failures) {
    if (!text.empty()) text += " ; ";
    text += SourceName(failure.source) + " : " + failure.text;
  }
  if (inventory.status != InventoryStatus::Complete) {
    inventory.errorText += " ; " + text;  // WMI's failure stays the first one told
    return;
  }
  inventory.status = inventory.rows.empty() && inventory.objectCount == 0
                         ? InventoryStatus::Failed
                         : InventoryStatus::Incomplete;
  inventory.errorCode = failures.front().code;
  inventory.errorText = std::move(text);
}
