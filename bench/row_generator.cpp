#include "bench/row_generator.h"

#include <array>
#include <cstdio>

#include "Systeme/errors.h"

namespace {

// Descriptions as Windows writes them, English and French systems alike (code page 1252).
constexpr std::array<const char*, 14> kDescriptions = {
    "Update",
    "Security Update",
    "Hotfix",
    "Software Update",
    "Critical Update",
    "Service Pack",
    "Update for Windows",
    "Mise \xE0 jour",
    "Mise \xE0 jour de s\xE9"
    "curit\xE9",
    "Correctif",
    "Mise \xE0 jour logicielle",
    "Mise \xE0 jour critique",
    "Actualizaci\xF3n de seguridad",
    "Sicherheitsupdate f\xFCr Windows",
};

constexpr std::array<const char*, 9> kAccounts = {
    "NT AUTHORITY\\SYSTEM",
    "AUTORITE NT\\Syst\xE8me",
    "BUILTIN\\Administrators",
    "S-1-5-18",
    "CORP\\fran\xE7ois.m\xFCller",
    "CORP\\admin",
    "WORKGROUP\\Jos\xE9",
    "PC-ACCUEIL\\Utilisateur",
    "",
};

// Days from 1 January 1601 to 1 January 1970, for FILETIME texts.
constexpr std::uint64_t kDays1601To1970 = 134774;
constexpr std::uint64_t kTicksPerDay = 864000000000ull;

struct CivilDate {
  int year, month, day;
};

// Days since 1 January 1970 to a civil date (proleptic Gregorian).
CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

std::string Digits(SeededRandom& random, int count) {
  std::string text;
  text.push_back(static_cast<char>('1' + random.Below(9)));
  for (int i = 1; i < count; ++i) text.push_back(static_cast<char>('0' + random.Below(10)));
  return text;
}

GeneratedValue Text(std::string text) {
  return {wbemCimtypeString, std::move(text)};
}

// Roughly one update in three a year since 2005, the newest most often.
GeneratedValue InstalledOn(SeededRandom& random) {
  const std::uint32_t shape = random.Below(1000);
  if (shape < 20) return Text("");
  if (shape < 25) return {wbemCimtypeString, std::nullopt};
  const std::int64_t days = 12784 + static_cast<std::int64_t>(random.Below(7300));  // 2005..2024
  const CivilDate date = CivilFromDays(days);
  char text[32];
  if (shape < 75) {  // XP and 2003 wrote a FILETIME in hexadecimal
    const std::uint64_t ticks =
        (kDays1601To1970 + static_cast<std::uint64_t>(days)) * kTicksPerDay +
        random.Below(86400) * 10000000ull;
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(ticks));
  } else if (shape < 800) {
    std::snprintf(text, sizeof text, "%d/%d/%04d", date.month, date.day, date.year);
  } else {  // day first, as some provider versions and Wine write it
    std::snprintf(text, sizeof text, "%d/%d/%04d", date.day, date.month, date.year);
  }
  return Text(text);
}

GeneratedValue HotFixId(SeededRandom& random, const std::vector<GeneratedRow>& earlier) {
  const std::uint32_t shape = random.Below(1000);
  // The same update installed twice (a reinstall, or two products) repeats its identifier.
  if (shape < 40 && !earlier.empty()) {
    return earlier[random.Below(static_cast<std::uint32_t>(earlier.size()))].HotFixID;
  }
  if (shape < 60) return Text("kb" + Digits(random, 6 + static_cast<int>(random.Below(2))));
  if (shape < 75) return Text("Q" + Digits(random, 6));
  if (shape < 78) return {0, std::nullopt};  // not a string: the scan writes "ERROR:HotFixID"
  if (shape < 80) return Text("");
  return Text("KB" + Digits(random, 6 + static_cast<int>(random.Below(2))));
}

GeneratedValue Description(SeededRandom& random) {
  const std::uint32_t shape = random.Below(1000);
  if (shape < 2) {  // the few long texts some installers leave behind
    std::string text = "Mise \xE0 jour cumulative pour les composants de plateforme";
    const std::uint32_t length = 120 + random.Below(180);
    while (text.size() < length) text += " (version \xE9tendue " + Digits(random, 4) + ")";
    return Text(text.substr(0, length));
  }
  if (shape < 30) return Text("");
  if (shape < 35) return {wbemCimtypeString, std::nullopt};
  return Text(kDescriptions[random.Below(kDescriptions.size())]);
}

GeneratedValue InstalledBy(SeededRandom& random) {
  const std::uint32_t shape = random.Below(1000);
  if (shape < 15) return {19, std::nullopt};  // a reference type: "ERROR:InstalledBy"
  if (shape < 18) {
    std::string text = "DOMAINE-TR\xC8S-LONG\\";
    const std::uint32_t length = 60 + random.Below(60);
    while (text.size() < length) text += "compte.de.service.\xE9tendu";
    return Text(text.substr(0, length));
  }
  return Text(kAccounts[random.Below(kAccounts.size())]);
}

}  // namespace

std::uint64_t SeededRandom::Next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1Dull;
}

std::uint32_t SeededRandom::Below(std::uint32_t bound) {
  if (bound == 0) return 0;
  return static_cast<std::uint32_t>((Next() >> 32) % bound);
}

std::vector<GeneratedRow> GenerateRows(std::size_t count, std::uint64_t seed) {
  SeededRandom random(seed);
  std::vector<GeneratedRow> rows;
  rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    GeneratedRow row;
    row.Description = Description(random);
    row.HotFixID = HotFixId(random, rows);
    row.InstalledBy = InstalledBy(random);
    row.InstalledOn = InstalledOn(random);
    rows.push_back(std::move(row));
  }
  return rows;
}

HotfixProperty GeneratedObject::Property(const std::string& name) {
  const GeneratedValue* value = nullptr;
  if (name == "Description") {
    value = &row_.Description;
  } else if (name == "HotFixID") {
    value = &row_.HotFixID;
  } else if (name == "InstalledBy") {
    value = &row_.InstalledBy;
  } else if (name == "InstalledOn") {
    value = &row_.InstalledOn;
  } else {
    throw EOleException("Introuvable", static_cast<std::int32_t>(0x80041002));
  }
  return {value->cimType, value->text, name};
}
