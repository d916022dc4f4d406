// The SOURCES setting and the KB that an update's title names.
#include "inventory/update_sources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ini_store_contract.h"
#include "inventory/update_title_kb.h"
#include "portable_ini_store.h"
#include "settings/settings_file.h"
#include "window_placement_fake.h"

namespace {

TEST(ParseUpdateSources, WordsInAnyOrderAndCaseUnknownOnesIgnored) {
  const struct {
    std::string text;
    UpdateSources expected;
  } cases[] = {
      {"", {}},
      {"QFE", {}},
      {"QFE,WU", {true, false}},
      {"QFE,CBS", {false, true}},
      {"cbs,qfe,Wu", {true, true}},
      {"WU;CBS", {true, true}},
      {" wu  cbs ", {true, true}},
      {",,WU,,", {true, false}},
      {"WU,WU", {true, false}},
      {"WUX,CB,QFE,W U,C-B-S", {}},
      {"wmi,cbs,bits", {false, true}},
      {"W\xDC,CBS\xA0", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseUpdateSources(c.text), c.expected) << c.text;
}

TEST(LoadSourcesSetting, ReadsTheTextAsWrittenAndNeverWritesIt) {
  ini_contract::ScratchFolder folder;
  PortableIniStore ini;
  const struct {
    const char* file;  // nullptr: no file at all
    std::string expected;
  } cases[] = {
      {nullptr, "kept"},
      {"[OPTION]\r\nWRITEINI=1\r\n", "kept"},
      {"[OPTION]\r\nSOURCES= cbs, Wu \r\n", "cbs, Wu"},
      {"[OPTION]\r\nSOURCES=\r\n", ""},
      {"[HOST]\r\nSOURCES=WU\r\n", "kept"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    TSettings settings;
    settings.IniFileName = folder.File("Fixtally.ini");
    std::remove(settings.IniFileName.c_str());
    if (c.file) ini_contract::WriteFileBytes(settings.IniFileName, c.file);
    settings.Sources = "kept";
    LoadSourcesSetting(settings, ini);
    EXPECT_EQ(settings.Sources, c.expected);
  }
  // A save leaves the key as the user wrote it, whatever the field holds.
  TSettings settings;
  settings.IniFileName = folder.File("Fixtally.ini");
  ini_contract::WriteFileBytes(settings.IniFileName, "[OPTION]\r\nWRITEINI=1\r\nSOURCES=wu\r\n");
  LoadSourcesSetting(settings, ini);
  settings.Sources = "QFE,WU,CBS";
  settings.WriteIni = true;
  FakeWindowPlacement window;
  TFormPlacement placement{window};
  placement.IniFileName = settings.IniFileName;
  placement.IniSection = "MAINFORM";
  SaveSettings(settings, ini, placement, ListSettings{}, "Copyright");
  EXPECT_EQ(ini.ReadString(settings.IniFileName, "OPTION", "SOURCES", "?"), "wu");
}

TEST(KbInText, FirstKbWordWithDigitsAnywhere) {
  const struct {
    std::string title;
    std::int32_t expected;
  } cases[] = {
      {"2023-05 Mise \xE0 jour cumulative pour Windows 10 Version 22H2 pour syst\xE8mes "
       "x64 (KB5026361)",
       5026361},
      {"2023-05 Cumulative Update for Windows 11 Version 22H2 for x64-based Systems (KB5026372)",
       5026372},
      {"2023-05 Kumulatives Update f\xFCr Windows 10 Version 22H2 f\xFCr x64-basierte Systeme "
       "(KB5026361)",
       5026361},
      {"Security Intelligence-Update f\xFCr Microsoft Defender Antivirus - KB2267602 "
       "(Version 1.391.3163.0)",
       2267602},
      {"Update for Windows (kb123456)", 123456},
      {"Mise \xE0 jour KB890830 rempla\xE7"
       "ant KB4023057",
       890830},
      {"KB-Artikel zu (KB4052623)", 4052623},
      {"WKB123 Update KB456", 456},
      {"Update 2KB5 KB7", 7},
      {"KB1", 1},
      {"Windows10.0-KB5026361-x64.cab", 5026361},
      {"KB000042", 42},
      {"Windows Malicious Software Removal Tool x64 - v5.113", 0},
      {"", 0},
      {"KB", 0},
      {"(KB)", 0},
      {"KB99999999999 then KB5", 0},
      {"K B123", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(KbInText(c.title), c.expected) << c.title;
}

}  // namespace
