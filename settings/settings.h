#pragma once
// The program's options in memory, one field per key of Fixtally.ini.
// Texts are in the system's 8-bit code page.
#include <cstdint>
#include <string>

struct TSettings {
  std::string IniFileName;
  bool WriteIni = false;
  std::string ColumnsOrder;
  std::int32_t SortColumn = 0;
  bool SortDirection = true;  // true = ascending
  std::string MsKbId;
  std::string DefChar = "\" | \"";
  std::int32_t NbrChar = 1;
  std::string LocalHost = ".";
  std::string Root;
  std::string User;
  std::string Password;  // handed to the WMI connection only: never written, shown or logged
  std::string Sources;   // SOURCES as the user wrote it (inventory/update_sources.h reads it)
};
