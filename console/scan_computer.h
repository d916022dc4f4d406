#pragma once
// Reading one computer's hotfixes into its inventory, for the console program. Unlike the
// window's scan, a failure is not shown: it is kept in the inventory, with the rows read before
// it, so that the other computers' results go on.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "inventory/beyond_qfe.h"
#include "inventory/computer_inventory.h"
#include "inventory/computer_request.h"
#include "inventory/hotfix_source.h"
#include "inventory/merge_update_sources.h"
#include "inventory/read_hotfix_record.h"

// Connects, opens the enumeration of the hotfix class, calls `connected` once it is open, then
// reads every object (each one counted, readable or not) until the end, a failure, or `stop`
// (looked at before each object).
// - A failure before any object: Failed, with the failure's code and message.
// - A failure after some objects: Incomplete, with the rows read so far.
// - `stop` seen: Incomplete, kCancelledCode, with the rows read so far.
// EOleSysError and EOleException give their code; any other exception kUnexpectedCode and its
// message. Throws only when memory runs out.
ComputerInventory ScanComputer(HotfixSource& source, const ComputerRequest& request,
                               const HotfixReading& reading, const std::atomic<bool>& stop,
                               const std::function<void()>& connected);

// The rows the sources beyond WMI found (inventory/beyond_qfe.h) added after WMI's for the KBs
// WMI lacks, each counted as an object. A source that failed makes the inventory incomplete
// (failed when it holds no row at all), with the first failure's code and every failure's
// source and text, unless WMI's own failure is already there; rows they add to a failed WMI
// make it incomplete. A stop counts as a failure with kCancelledCode.
void AddBeyondQfeRows(ComputerInventory& inventory, const BeyondQfeUpdates& found,
                      const UtcDateWriter& writeDate, const UpdateRowTexts& texts);

// The failure part of the above alone: what sources that failed make of the inventory.
void NoteSourceFailures(ComputerInventory& inventory, const std::vector<SourceFailure>& failures);
