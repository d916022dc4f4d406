#pragma once
// Which sources of installed updates a scan reads, and what every source beyond WMI hands the
// merge.
//
// WMI's hotfix class lists only part of what Windows 10 and 11 install (servicing stack, .NET,
// Defender and many cumulative updates are missing), so the user may add the two lists Windows
// keeps itself. Everything here is plain computation over values the Win32 adapters read; the
// adapters only fetch those values and convert texts to the system code page:
//
// - Windows Update history (wuapi.dll, XP on): CoCreateInstance(CLSID_UpdateSession) (remotely
//   CoCreateInstanceEx with WMI's account and blanket), IUpdateSession::CreateUpdateSearcher,
//   GetTotalHistoryCount, then QueryHistory(0, count). Each IUpdateHistoryEntry gives one
//   WuHistoryEntry (Operation, ResultCode, Date as a UTC DATE, Title, ClientApplicationID), in
//   the order the agent returns them (newest first, though nothing here relies on it);
//   InstalledFromHistory (inventory/wu_history.h) folds them.
// - Servicing packages (Vista on): the subkeys of
//   HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Component Based Servicing\Packages,
//   opened with KEY_WOW64_64KEY so that a 32-bit build sees the 64-bit view, on another computer
//   through RegConnectRegistry (its refusal is a failure of this source alone). Each subkey gives
//   one CbsPackageValues with the DWORDs CurrentState, InstallTimeHigh, InstallTimeLow and the
//   texts InstallUser (resolved to DOMAIN\name by the adapter when the SID resolves, else the SID),
//   InstallName and InstallLocation; InstalledFromPackages (inventory/cbs_packages.h) keeps the
//   installed ones. A subkey whose name does not start with "Package_for_" is never listed, so the
//   adapter may skip it unread.
// - MergeBeyondQfe (inventory/merge_update_sources.h) then gives the rows for the KBs that WMI
//   lacks, after WMI's rows, which stay exactly as read. A source that fails leaves its list
//   empty; the others still merge.
#include <cstdint>
#include <string>
#include <string_view>

// WMI's hotfixes are always read; the two others only when the SOURCES setting names them.
struct UpdateSources {
  bool windowsUpdate = false;      // "WU"
  bool servicingPackages = false;  // "CBS"
  bool operator==(const UpdateSources&) const = default;
};

// SOURCES of [OPTION]: words such as "QFE,WU,CBS" in any order and letter case, separated by
// commas, semicolons or blanks. Unknown words are ignored, so a value that names nothing known
// (or no value at all) leaves WMI alone.
UpdateSources ParseUpdateSources(std::string_view text);

// The same words where a typing error must be told (the console program's /sources:): false,
// `sources` unspecified, when a word is not QFE, WU or CBS or when there is no word at all.
bool ReadUpdateSourcesStrictly(std::string_view text, UpdateSources& sources);

// 100-nanosecond intervals since 1 January 1601, UTC (a FILETIME as one number); 0 when the
// source gave no usable date.
using UtcTicks = std::uint64_t;

// One installed update as a source beyond WMI knows it, texts in the system code page.
struct FoundUpdate {
  std::int32_t kb = 0;  // above 0
  UtcTicks installed = 0;
  std::string title;        // the Windows Update title; empty for a servicing package
  std::string installedBy;  // the client application, or the installing account
  bool superseded = false;  // a servicing package whose fixes come with a later update
};
