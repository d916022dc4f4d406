#pragma once
// Synthetic but realistic hotfix objects for the benchmarks, the same for every run of a seed:
// what WMI hands the scan on machines of the XP to Windows 11 years, in the system code page
// (1252 here), with the odd texts real machines have (duplicates, lower-case "kb", "Q" numbers,
// properties of the wrong type, empty and null values, a few very long descriptions).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inventory/hotfix_source.h"

// One property as the source delivers it: its CIM type and its value (nullopt for null).
struct GeneratedValue {
  std::int32_t cimType = wbemCimtypeString;
  std::optional<std::string> text;
};

struct GeneratedRow {
  GeneratedValue Description;
  GeneratedValue HotFixID;
  GeneratedValue InstalledBy;
  GeneratedValue InstalledOn;
};

// A small, fully specified generator (xorshift64*), so that the rows do not depend on how a
// standard library implements its distributions.
class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed == 0 ? 0x9E3779B97F4A7C15ull : seed) {}
  std::uint64_t Next();
  // Uniform in [0, bound); 0 for a bound of 0.
  std::uint32_t Below(std::uint32_t bound);
  // True with the given chance in a thousand.
  bool PerMille(std::uint32_t chance) { return Below(1000) < chance; }

 private:
  std::uint64_t state_;
};

std::vector<GeneratedRow> GenerateRows(std::size_t count, std::uint64_t seed);

// A source object over one generated row; properties are looked up by name.
class GeneratedObject : public HotfixObject {
 public:
  explicit GeneratedObject(const GeneratedRow& row) : row_(row) {}
  HotfixProperty Property(const std::string& name) override;

 private:
  const GeneratedRow& row_;
};
