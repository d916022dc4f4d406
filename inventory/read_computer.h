#pragma once
// Reading one computer, for the window and the console program alike: WMI's hotfixes, each
// object turned into a record handed to a sink as soon as it is read, then the records that the
// sources beyond WMI add, and what the reading came to. The window's sink appends each record as
// a row of its list while the scan's batch is open; the console program's collects them into the
// computer's inventory. How the reading is run (on which thread, for how long) stays theirs.
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "inventory/beyond_qfe.h"
#include "inventory/computer_inventory.h"
#include "inventory/computer_request.h"
#include "inventory/hotfix_source.h"
#include "inventory/merge_update_sources.h"
#include "inventory/read_hotfix_record.h"

using RecordSink = std::function<void(std::unique_ptr<TTreeDataClass> record)>;
using StopAsked = std::function<bool()>;

struct WmiReading {
  ReadingOutcome outcome;
  // The error that ended the reading early, for a caller that shows it as it is (the window's
  // dialog tells a WMI failure from any other); null when the list was read to its end or
  // stopped.
  std::exception_ptr failure;
};

// Connects to the computer, opens the enumeration of `className`, calls `connected` (when given)
// once it is open, then reads every object until the end, a failure, or `stopAsked` (asked
// before each object). Each object met counts; each that reads (inventory/read_hotfix_record.h)
// goes to `sink`. The connection and the enumeration are released before it returns.
// - A failure: noted with its code (EOleSysError's; kUnexpectedCode for any other error) and
//   its message; the records already handed over stay true.
// - A stop: noted with kCancelledCode and kStoppedText.
WmiReading ReadWmiHotfixes(HotfixSource& source, const ComputerRequest& computer,
                           const std::string& className, const HotfixReading& reading,
                           const StopAsked& stopAsked, const RecordSink& sink,
                           const std::function<void()>& connected = {});

// The records that the sources beyond WMI found for the KBs that `wmiRecords` lack
// (MergeBeyondQfe), handed to `sink` after WMI's and each counted as an object, then every
// failure of those sources noted. Records they add to a WMI that failed make it incomplete.
void AddBeyondQfeRecords(ReadingOutcome& outcome, std::span<const TTreeDataClass* const> wmiRecords,
                         const BeyondQfeUpdates& found, const UtcDateWriter& writeDate,
                         const UpdateRowTexts& texts, const RecordSink& sink);

// A failure noted in the outcome. The first one sets the code and the text, and the status:
// Stopped for a stop before anything was met, Incomplete once some object was, else Failed.
// Each later one only adds its source, code and text to the text.
void NoteWmiFailure(ReadingOutcome& outcome, std::int32_t code, const std::string& text);
void NoteSourceFailure(ReadingOutcome& outcome, const SourceFailure& failure);
