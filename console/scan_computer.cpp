#include "console/scan_computer.h"

#include <exception>
#include <memory>
#include <utility>

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
        inventory.errorText = "Arrêté par l'utilisateur";
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
  } catch (...) {
    Fail(inventory, kUnexpectedCode, "Erreur inattendue");
  }
  return inventory;
}
