#include "inventory/read_hotfix_record.h"

#include <exception>
#include <string>
#include <string_view>

#include "inventory/date_text.h"
#include "inventory/date_time.h"

namespace {

constexpr std::size_t kFileTimeTextLength = 16;
constexpr std::size_t kDateTextLength = 10;
// Past this many different long texts a reading shares no more: a computer whose rows all differ
// would only fill the table.
constexpr std::size_t kMostSharedTexts = 4096;

// A string property's text into the record's text: an empty text when its value is null;
// "ERROR:" and its name when it is not a string. Straight from the property's value, without a
// copy of it in between: a scan reads three of these per object.
void ReadTextProperty(HotfixObject& object, const std::string& name, RepeatedTexts* repeated,
                      RecordText& text) {
  const HotfixProperty property = object.Property(name);
  if (property.CIMType != wbemCimtypeString) {
    text = "ERROR:" + property.Name;
  } else if (property.Value) {
    if (repeated != nullptr) {
      text = repeated->Shared(*property.Value);
    } else {
      text = *property.Value;
    }
  } else {
    text = std::string_view();
  }
}

// What a row shows of an "InstalledOn" text: the date in the user's short date format, or the
// text itself when it holds no date that can be written.
std::string InstalledOnRowText(const std::string& text, const HotfixReading& reading) {
  try {
    DateTime date = NullDate();
    if (text.size() == kFileTimeTextLength &&
        (date = DecodeInstalledOn(text, reading.timeZone)) != NullDate()) {
      return DateTimeToString(date, reading.displaySettings).substr(0, kDateTextLength);
    }
    if (TryStrToDate(text, reading.parseSettings, reading.currentYear(), date)) {
      return DateTimeToString(date, reading.displaySettings);
    }
  } catch (const std::exception&) {
    // A date that cannot be written keeps the platform's text.
  }
  return text;
}

}  // namespace

const RecordText& RepeatedTexts::DateText(const std::string& text, const HotfixReading& reading) {
  const auto found = dates_.find(text);
  if (found != dates_.end()) return found->second;
  return dates_.emplace(text, RecordText(InstalledOnRowText(text, reading))).first->second;
}

RecordText RepeatedTexts::Shared(std::string_view text) {
  if (text.size() <= RecordText::kInlineCapacity) return RecordText(text);
  const auto found = longTexts_.find(text);
  if (found != longTexts_.end()) return found->second;
  RecordText first(text);
  if (longTexts_.size() < kMostSharedTexts) longTexts_.emplace(std::string_view(first), first);
  return first;
}

TFormatSettings ScanParseSettings(const TFormatSettings& displaySettings) {
  TFormatSettings parseSettings = displaySettings;
  parseSettings.ShortDateFormat = "M/J/A";
  return parseSettings;
}

std::unique_ptr<TTreeDataClass> ReadHotfixRecord(HotfixObject& object,
                                                 const HotfixReading& reading) {
  auto record = std::make_unique<TTreeDataClass>();
  try {
    ReadTextProperty(object, "Description", reading.remembered, record->Description);
    ReadTextProperty(object, "HotFixID", reading.remembered, record->HotFixID);
    ReadTextProperty(object, "InstalledBy", reading.remembered, record->InstalledBy);

    HotfixProperty installedOn = object.Property("InstalledOn");
    if (installedOn.CIMType != wbemCimtypeString) {
      record->InstalledOn = "ERROR:" + installedOn.Name;
    } else if (installedOn.Value) {
      // A null date still leaves a row: the update is installed even if the platform forgot
      // when, and dropping it would hide it from the list while still counting it.
      const std::string& text = *installedOn.Value;
      if (reading.remembered != nullptr) {
        record->InstalledOn = reading.remembered->DateText(text, reading);
      } else {
        record->InstalledOn = InstalledOnRowText(text, reading);
      }
    }
    record->MatchState = 0;
  } catch (const std::exception&) {
    return nullptr;
  }
  return record;
}
