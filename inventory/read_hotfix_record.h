#pragma once
// Turns one WMI object into a hotfix record: the three texts as WMI gives them, "ERROR:" and the
// property's name for a property that is not a string, and the installation date in the user's
// short date format (a date that does not read keeps WMI's text). The window and the console
// program read objects the same way through it.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Systeme/locale_text.h"
#include "inventory/hotfix_record.h"
#include "inventory/hotfix_source.h"
#include "inventory/time_zone.h"

class RepeatedTexts;

// What reading the objects of one scan needs. None of it is owned: a scan builds the formats
// once and reads every object with them.
struct HotfixReading {
  const TFormatSettings& parseSettings;    // see ScanParseSettings
  const TFormatSettings& displaySettings;  // the locale's, unchanged
  TimeZone& timeZone;
  const std::function<int()>& currentYear;  // for dates written without their year
  // When given, each date text's row text is worked out once for the reading, and rows share
  // the long texts they have in common.
  RepeatedTexts* remembered = nullptr;
};

// What one reading meets again and again: a computer's updates share a few dates, and reading a
// date and writing it in the user's format cost more than the rest of a row; and a few long texts
// (descriptions, accounts), whose one copy the rows then share instead of a copy each, which are
// allocated when read and freed when the list is cleared. Good for one reading: the formats and
// the year stay the same through it.
class RepeatedTexts {
 public:
  const RecordText& DateText(const std::string& text, const HotfixReading& reading);
  // `text` as a record text, sharing its memory with the same text met before.
  RecordText Shared(std::string_view text);

 private:
  std::unordered_map<std::string, RecordText> dates_;
  std::unordered_map<std::string_view, RecordText> longTexts_;  // each key views its value
};

// The locale's formats with the short date format "M/J/A": WMI writes its dates month first
// whatever the user's locale, so only the order of that format's letters matters.
TFormatSettings ScanParseSettings(const TFormatSettings& displaySettings);

// The record of one object, or null when the object cannot be read (a property it lacks, a
// failed look-up): such an object gives no row, but a scan still counts it.
std::unique_ptr<TTreeDataClass> ReadHotfixRecord(HotfixObject& object,
                                                 const HotfixReading& reading);
