#pragma once
// The servicing stack's packages read as installed updates.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "inventory/update_sources.h"

// CurrentState values that mean the package's fixes are on the system.
inline constexpr std::uint32_t kCbsInstalled = 112;
inline constexpr std::uint32_t kCbsSuperseded = 80;

// One subkey of the Packages key; a value that is missing or not a DWORD stays empty.
struct CbsPackageValues {
  std::string keyName;
  std::optional<std::uint32_t> currentState;
  std::optional<std::uint32_t> installTimeHigh;
  std::optional<std::uint32_t> installTimeLow;
  std::string installUser;  // DOMAIN\name when the SID resolved, else the SID
  std::string installName;
  std::string installLocation;
};

// The KB a package stands for: the digits after "Package_for_KB" in its name (any letter
// case), or, for a "Package_for_RollupFix" key (the monthly cumulative updates, named without
// their KB), the KB that InstallName or else InstallLocation names. 0 for any other key.
std::int32_t CbsPackageKb(const CbsPackageValues& package);

// One update per KB with a package in state 112 or 80. An installed package outweighs a
// superseded one of the same KB; among the packages kept, the earliest installation time gives
// the date and the installing account. Ordered by KB.
std::vector<FoundUpdate> InstalledFromPackages(const std::vector<CbsPackageValues>& packages);
