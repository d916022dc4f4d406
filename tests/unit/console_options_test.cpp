// The console program's command line: what each line gives, or the message that names what is
// wrong (exit code 3, nothing scanned).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/options.h"

namespace {

struct OptionsCase {
  std::vector<std::string> arguments;
  ConsoleOptions expected;  // compared when `error` is empty
  std::string error;        // the message's beginning
};

ConsoleOptions Defaults() {
  ConsoleOptions options;
  options.parallel = 16;
  options.timeoutSeconds = 30;
  return options;
}

template <typename Change>
ConsoleOptions With(Change change) {
  ConsoleOptions options = Defaults();
  change(options);
  return options;
}

void ExpectSame(const ConsoleOptions& actual, const ConsoleOptions& expected) {
  EXPECT_EQ(actual.help, expected.help);
  EXPECT_EQ(actual.hosts, expected.hosts);
  EXPECT_EQ(actual.hostsFile, expected.hostsFile);
  EXPECT_EQ(actual.user, expected.user);
  EXPECT_EQ(actual.format, expected.format);
  EXPECT_EQ(actual.outFile, expected.outFile);
  EXPECT_EQ(actual.kbs, expected.kbs);
  EXPECT_EQ(actual.parallel, expected.parallel);
  EXPECT_EQ(actual.timeoutSeconds, expected.timeoutSeconds);
  EXPECT_EQ(actual.sources, expected.sources);
  EXPECT_EQ(actual.report, expected.report);
  EXPECT_EQ(actual.utf8Output, expected.utf8Output);
}

TEST(ConsoleOptions, CommandLines) {
  const OptionsCase cases[] = {
      {{}, Defaults(), ""},
      {{"/?"}, With([](auto& o) { o.help = true; }), ""},
      {{"-?"}, With([](auto& o) { o.help = true; }), ""},
      {{"/host:SRV1", "-HOST:.", "/Host:localhost"},
       With([](auto& o) {
         o.hosts = {"SRV1", ".", "localhost"};
       }),
       ""},
      {{"/hosts:C:\\liste des serveurs.txt"},
       With([](auto& o) { o.hostsFile = "C:\\liste des serveurs.txt"; }),
       ""},
      {{"/user:DOMAINE\\admin"}, With([](auto& o) { o.user = "DOMAINE\\admin"; }), ""},
      {{"/format:CSV"}, With([](auto& o) { o.format = ExportFormat::Csv; }), ""},
      {{"/format:json", "/out:\\\\nas\\partage\\r\xC3\xA9sultat.json"},
       With([](auto& o) {
         o.format = ExportFormat::Json;
         o.outFile = "\\\\nas\\partage\\r\xC3\xA9sultat.json";
       }),
       ""},
      {{"/format:txt"}, Defaults(), ""},
      {{"/kb:KB5034441,5034439, kb0890830 ", "/kb:5034441"},
       With([](auto& o) {
         o.kbs = {"KB5034441", "KB5034439", "KB890830"};
       }),
       ""},
      {{"/parallel:1", "/timeout:3600"},
       With([](auto& o) {
         o.parallel = 1;
         o.timeoutSeconds = 3600;
       }),
       ""},
      {{"/parallel:64", "/timeout:1"},
       With([](auto& o) {
         o.parallel = 64;
         o.timeoutSeconds = 1;
       }),
       ""},
      {{"/sources:qfe,WU"},
       With([](auto& o) {
         o.sources = UpdateSources{true, false};
       }),
       ""},
      {{"/sources:CBS,qfe,wu"},
       With([](auto& o) {
         o.sources = UpdateSources{true, true};
       }),
       ""},
      {{"/sources:QFE"}, With([](auto& o) { o.sources = UpdateSources{}; }), ""},
      {{"/kb:1", "/report:KB", "/encoding:UTF8"},
       With([](auto& o) {
         o.kbs = {"KB1"};
         o.report = ReportShape::Kbs;
         o.utf8Output = true;
       }),
       ""},
      {{"/report:rows", "/encoding:console"},
       With([](auto& o) { o.report = ReportShape::Rows; }),
       ""},
      {{"/report:kb"}, {}, "L'option /report:kb demande la liste des KB : /kb:LISTE"},

      {{"/bogus"}, {}, "Option inconnue : /bogus"},
      {{"--host:a"}, {}, "Option inconnue : --host"},
      {{"/"}, {}, "Argument inattendu : « / »"},
      {{"SRV1"}, {}, "Argument inattendu : « SRV1 »"},
      {{""}, {}, "Argument inattendu : «  »"},
      {{"/host"}, {}, "L'option /host attend une valeur : /host:NOM"},
      {{"/host:"}, {}, "L'option /host attend une valeur"},
      {{"/?:x"}, {}, "L'option /? ne prend pas de valeur"},
      {{"/out:a", "/OUT:b"}, {}, "L'option /out est donnée plus d'une fois"},
      {{"/hosts:a", "/hosts:a"}, {}, "L'option /hosts est donnée plus d'une fois"},
      {{"/format:xml"},
       {},
       "Valeur incorrecte pour /format : « xml » (attendu : txt, csv ou json)"},
      {{"/parallel:0"},
       {},
       "Valeur incorrecte pour /parallel : « 0 » (attendu : un nombre de 1 à 64)"},
      {{"/parallel:65"}, {}, "Valeur incorrecte pour /parallel : « 65 »"},
      {{"/parallel:-1"}, {}, "Valeur incorrecte pour /parallel"},
      {{"/parallel:99999999999999999999"}, {}, "Valeur incorrecte pour /parallel"},
      {{"/timeout:3601"},
       {},
       "Valeur incorrecte pour /timeout : « 3601 » (attendu : un nombre de 1 à 3600)"},
      {{"/timeout:1.5"}, {}, "Valeur incorrecte pour /timeout"},
      {{"/kb:KB"}, {}, "Valeur incorrecte pour /kb : « KB »"},
      {{"/kb:KB1,,KB2"}, {}, "Valeur incorrecte pour /kb"},
      {{"/kb:KB12a"}, {}, "Valeur incorrecte pour /kb"},
      {{"/kb:0"}, {}, "Valeur incorrecte pour /kb"},
      {{"/kb:2147483648"}, {}, "Valeur incorrecte pour /kb"},
      {{"/sources:WU,WSUS"},
       {},
       "Valeur incorrecte pour /sources : « WU,WSUS » (attendu : QFE, WU ou CBS"},
      {{"/sources:,"}, {}, "Valeur incorrecte pour /sources"},
      {{"/host:a", "/parallel:x", "/bogus"}, {}, "Valeur incorrecte pour /parallel"},
  };
  for (const OptionsCase& c : cases) {
    std::string line;
    for (const std::string& argument : c.arguments) line += argument + " ";
    const ParsedCommandLine parsed = ParseConsoleOptions(c.arguments);
    if (c.error.empty()) {
      EXPECT_EQ(parsed.error, "") << line;
      ExpectSame(parsed.options, c.expected);
    } else {
      EXPECT_EQ(parsed.error.substr(0, c.error.size()), c.error) << line;
      EXPECT_NE(parsed.error.find("Aide : Fixtally /?"), std::string::npos) << line;
    }
  }
}

// Each option's line of the /? text comes from the table that parses it, limits included.
TEST(ConsoleOptions, UsageShowsEveryOption) {
  const std::string usage = UsageText();
  for (const char* line :
       {"  /?  ", "  /host:NOM  ", "  /hosts:FICHIER  ", "  /user:DOMAINE\\nom  ",
        "  /format:txt|csv|json  ", "  /out:FICHIER  ", "  /kb:LISTE  ", "  /parallel:N  ",
        "  /timeout:SECONDES  ", "(1 à 64, par défaut 16)", "(1 à 3600, par défaut 30)",
        "(par défaut txt)", "(par défaut kb si /kb:)", "/encoding:console|utf8",
        "  3  option inconnue"}) {
    EXPECT_NE(usage.find(line), std::string::npos) << line;
  }
  // Within a default console's 80 columns, counted in characters, not UTF-8 bytes.
  std::size_t column = 0;
  for (const char c : usage) {
    if (c == '\n') column = 0;
    if (c != '\r' && c != '\n' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) ++column;
    EXPECT_LE(column, 79u) << usage;
  }
}

}  // namespace
