#include "inventory/read_computer.h"

#include <utility>
#include <vector>

#include "Systeme/errors.h"

namespace {

void Note(ReadingOutcome& outcome, std::int32_t code, std::string firstText,
          const std::string& laterText) {
  if (outcome.status != InventoryStatus::Complete) {
    outcome.errorText += " ; " + laterText;  // the first failure stays the one told first
    return;
  }
  // Records read before the failure stay: they are true, only not all of them.
  if (outcome.objectCount > 0) {
    outcome.status = InventoryStatus::Incomplete;
  } else {
    outcome.status = code == kCancelledCode ? InventoryStatus::Stopped : InventoryStatus::Failed;
  }
  outcome.errorCode = code;
  outcome.errorText = std::move(firstText);
}

}  // namespace

void NoteWmiFailure(ReadingOutcome& outcome, std::int32_t code, const std::string& text) {
  Note(outcome, code, text, SourceFailureLine({UpdateSource::Wmi, code, text}, true));
}

void NoteSourceFailure(ReadingOutcome& outcome, const SourceFailure& failure) {
  Note(outcome, failure.code, SourceFailureLine(failure, false), SourceFailureLine(failure, true));
}

WmiReading ReadWmiHotfixes(HotfixSource& source, const ComputerRequest& computer,
                           const std::string& className, const HotfixReading& reading,
                           const StopAsked& stopAsked, const RecordSink& sink,
                           const std::function<void()>& connected) {
  WmiReading result;
  ReadingOutcome& outcome = result.outcome;
  RepeatedTexts repeated;
  HotfixReading remembering = reading;
  remembering.remembered = &repeated;
  try {
    std::unique_ptr<HotfixService> service = source.ConnectServer(
        computer.computer, computer.nameSpace, computer.user, computer.password.text());
    std::unique_ptr<HotfixEnumeration> objects;
    if (service) objects = service->InstancesOf(className);
    if (connected) connected();
    while (objects) {
      if (stopAsked && stopAsked()) {
        NoteWmiFailure(outcome, kCancelledCode, kStoppedText);
        break;
      }
      std::unique_ptr<HotfixObject> object = objects->Next();
      if (!object) break;
      ++outcome.objectCount;
      if (std::unique_ptr<TTreeDataClass> record = ReadHotfixRecord(*object, remembering)) {
        sink(std::move(record));
      }
    }
  } catch (const EOleSysError& error) {
    result.failure = std::current_exception();
    NoteWmiFailure(outcome, error.ErrorCode(), error.what());
  } catch (const std::exception& error) {
    result.failure = std::current_exception();
    NoteWmiFailure(outcome, kUnexpectedCode, error.what());
  } catch (...) {  // a source may raise anything; the caller decides who hears of it
    result.failure = std::current_exception();
    NoteWmiFailure(outcome, kUnexpectedCode, "Erreur inattendue");
  }
  return result;
}

void AddBeyondQfeRecords(ReadingOutcome& outcome, std::span<const TTreeDataClass* const> wmiRecords,
                         const BeyondQfeUpdates& found, const UtcDateWriter& writeDate,
                         const UpdateRowTexts& texts, const RecordSink& sink) {
  std::vector<TTreeDataClass> added =
      MergeBeyondQfe(wmiRecords, found.windowsUpdate, found.packages, writeDate, texts);
  for (TTreeDataClass& record : added) {
    sink(std::make_unique<TTreeDataClass>(std::move(record)));
    ++outcome.objectCount;
  }
  if (!added.empty() && outcome.status == InventoryStatus::Failed) {
    outcome.status = InventoryStatus::Incomplete;
  }
  for (const SourceFailure& failure : found.failures) NoteSourceFailure(outcome, failure);
}
