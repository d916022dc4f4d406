// The console's outputs: the text that "Copier" gives, CSV a spreadsheet reads back field for
// field, JSON, and the /kb: check.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "csv_reader.h"
#include "inventory/date_time.h"
#include "inventory/installed_on_date.h"
#include "writers/export_writers.h"
#include "writers/kb_order.h"
#include "portable_locale_text.h"

namespace {

struct Row {
  std::string id, on, description, by;
};

ComputerInventory Computer(std::string name, const std::vector<Row>& rows,
                           InventoryStatus status = InventoryStatus::Complete,
                           std::int32_t code = 0, std::string text = "") {
  ComputerInventory computer;
  computer.computer = std::move(name);
  computer.status = status;
  computer.errorCode = code;
  computer.errorText = std::move(text);
  computer.objectCount = static_cast<std::int32_t>(rows.size());
  for (const Row& row : rows) {
    TTreeDataClass record;
    record.HotFixID = row.id;
    record.InstalledOn = row.on;
    record.Description = row.description;
    record.InstalledBy = row.by;
    computer.rows.push_back(std::move(record));
  }
  return computer;
}

ExportSettings Settings(ExportFormat format) {
  ExportSettings settings;
  settings.format = format;
  settings.codePage = &CodePage1252();
  settings.dateSettings.ShortDateFormat = "dd/MM/yyyy";
  settings.currentYear = 2026;
  return settings;
}

TEST(ExportText, OneComputerIsTheCopierTextOfItsRowsInKbOrder) {
  ExportSettings settings = Settings(ExportFormat::Text);
  settings.copySeparator = " | ";
  const ComputerInventory computer =
      Computer("SRV1", {{"KB5034441", "09/01/2024", "Security Update", "NT AUTHORITY\\SYSTEM"},
                        {"KB890830", "10/01/2024", "Update", "Administrateur"},
                        {"", "", "", ""}});
  EXPECT_EQ(WriteExport({computer}, settings),
            "          |            |                 |                    \r\n"
            "KB890830  | 10/01/2024 | Update          | Administrateur     \r\n"
            "KB5034441 | 09/01/2024 | Security Update | NT AUTHORITY\\SYSTEM\r\n");
}

TEST(ExportText, ComputerColumnAndStatusLinesInTheOrderGiven) {
  ExportSettings settings = Settings(ExportFormat::Text);
  settings.copySeparator = "|";
  const std::vector<ComputerInventory> computers = {
      Computer("SRV10", {{"KB22", "2/2/2022", "Update", "b"}, {"KB3", "1/1/2020", "Fix", "a"}}),
      Computer("S2", {{"KB1", "", "Security Update", ""}}, InventoryStatus::Incomplete,
               static_cast<std::int32_t>(0x80041001),
               "\xC3\xA9"
               "chec g\xC3\xA9n\xC3\xA9ral\r\n"),
      // A computer without rows has no line in the list: its name does not widen the column.
      Computer("INJOIGNABLE-\xC3\x89T\xC3\x89", {}, InventoryStatus::Failed,
               static_cast<std::int32_t>(0x800706BA), "Le serveur RPC n'est pas disponible.\r\n"),
      Computer("S4", {{"KB9", "", "", ""}}),
      Computer("S5", {}, InventoryStatus::Stopped, static_cast<std::int32_t>(0x800704C7),
               "Non analys\xC3\xA9 : arr\xC3\xAAt demand\xC3\xA9")};
  EXPECT_EQ(WriteExport(computers, settings),
            "SRV10|KB3 |1/1/2020|Fix            |a\r\n"
            "SRV10|KB22|2/2/2022|Update         |b\r\n"
            "S2   |KB1 |        |Security Update| \r\n"
            "S2 : incomplet, 1 ligne lue (0x80041001) \xE9"
            "chec g\xE9n\xE9ral\r\n"
            "INJOIGNABLE-\xC9T\xC9 : \xE9"
            "chec (0x800706BA) Le serveur RPC n'est pas disponible.\r\n"
            "S4   |KB9 |        |               | \r\n"
            "S5 : arr\xEAt\xE9 (0x800704C7) Non analys\xE9 : arr\xEAt demand\xE9\r\n");
}

TEST(ExportText, KbCheckLinesInsteadOfRows) {
  ExportSettings settings = Settings(ExportFormat::Text);
  settings.kbs = {"KB1", "KB2"};
  settings.kbReport = true;
  const std::vector<ComputerInventory> computers = {
      Computer("S2", {{"KB2", "", "", ""}, {"KB3", "", "", ""}}, InventoryStatus::Incomplete, 5,
               "x"),
      Computer("SRV1", {{"KB0001", "", "", ""}})};
  EXPECT_EQ(WriteExport(computers, settings),
            "S2   : pr\xE9sents : KB2 ; non v\xE9rifi\xE9s : KB1\r\n"
            "S2 : incomplet, 2 lignes lues (0x00000005) x\r\n"
            "SRV1 : pr\xE9sents : KB1 ; manquants : KB2\r\n");
}

TEST(CheckKbs, PresentMissingOrUnknownByKbNumber) {
  const std::vector<std::string> kbs = {"KB5034441", "KB890830", "KB7"};
  const std::vector<Row> rows = {{"kb05034441", "", "", ""}, {"KB7 (v2)", "", "", ""}};
  const struct {
    InventoryStatus status;
    KbPresence expected;
  } cases[] = {
      {InventoryStatus::Complete, {{"KB5034441", "KB7"}, {"KB890830"}, {}}},
      {InventoryStatus::Incomplete, {{"KB5034441", "KB7"}, {}, {"KB890830"}}},
      {InventoryStatus::Failed, {{"KB5034441", "KB7"}, {}, {"KB890830"}}},
  };
  for (const auto& c : cases) {
    const KbPresence presence = CheckKbs(Computer("A", rows, c.status), kbs);
    EXPECT_EQ(presence.present, c.expected.present);
    EXPECT_EQ(presence.missing, c.expected.missing);
    EXPECT_EQ(presence.unknown, c.expected.unknown);
  }
}

TEST(RowsInKbOrder, ByNumberThenAsTheyCame) {
  const ComputerInventory computer = Computer(
      "A",
      {{"KB20", "a", "", ""}, {"x", "b", "", ""}, {"KB020", "c", "", ""}, {"KB3", "d", "", ""}});
  std::string order;
  for (const TTreeDataClass* row : RowsInKbOrder(computer.rows)) order += row->InstalledOn.str();
  EXPECT_EQ(order, "bdac");

  // Numbers that differ in every byte, repeated, beside a plain stable sort.
  std::vector<Row> many;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint32_t values[] = {0, 7, 255, 256, 65535, 65536, 5034441, 16777216, 2147483647};
    many.push_back({"KB" + std::to_string(values[(seed >> 16) % 9] + (seed >> 28)), "", "", ""});
  }
  const ComputerInventory big = Computer("B", many);
  std::vector<const TTreeDataClass*> expected;
  for (const TTreeDataClass& row : big.rows) expected.push_back(&row);
  std::stable_sort(expected.begin(), expected.end(),
                   [](const auto* a, const auto* b) { return CompareKbOrder(*a, *b) < 0; });
  EXPECT_EQ(RowsInKbOrder(big.rows), expected);
}

// The cell a text becomes in a CSV line, separator ';'.
TEST(ExportCsv, QuotesAndNeutralisesCells) {
  const struct {
    std::string description, cell;
  } cases[] = {
      {"Update", "Update"},
      {"", ""},
      {"a;b", "\"a;b\""},
      {"a,b", "a,b"},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"lf\nonly", "\"lf\nonly\""},
      {"=1+1", "'=1+1"},
      {"+33", "'+33"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},
      {"=a;b", "\"'=a;b\""},
      {"a=b", "a=b"},
      {"\xE9t\xE9 \x80", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"},
  };
  for (const auto& c : cases) {
    const std::string csv = WriteExport({Computer("PC", {{"KB1", "", c.description, "x"}})},
                                        Settings(ExportFormat::Csv));
    const std::string line = csv.substr(csv.find("\r\n") + 2);
    EXPECT_EQ(line, "PC;KB1;;;" + c.cell + ";x\r\n") << c.description;
  }
}

TEST(ExportCsv, ReadsBackFieldForFieldWithEveryStatus) {
  const std::vector<ComputerInventory> computers = {
      Computer("SRV-\xC3\x89T\xC3\x89",
               {{"KB2", "22/02/2022", "D\xE9j\xE0 \"cit\xE9\";\r\nsuite,fin", "=cmd|' /C calc'!A0"},
                {"KB1", "31/02/2022", "\t-tab", "DOMAINE\\admin"}}),
      Computer("S2", {}, InventoryStatus::Failed, static_cast<std::int32_t>(0x800706BA),
               "Le serveur RPC n'est pas disponible"),
      Computer("S3", {{"", "", "", ""}}, InventoryStatus::Incomplete,
               static_cast<std::int32_t>(0x800705B4), "Pas de r\xC3\xA9ponse ; ; \"x\""),
      Computer("S4", {}, InventoryStatus::Stopped, static_cast<std::int32_t>(0x800704C7), "Non")};
  // A separator that quoting cannot protect (a quote) gives way to the comma.
  const std::pair<std::string, std::string> separators[] = {{";", ";"},   {",", ","}, {"\t", "\t"},
                                                            {"||", "||"}, {"'", "'"}, {"\"", ","}};
  for (const auto& [given, used] : separators) {
    ExportSettings settings = Settings(ExportFormat::Csv);
    settings.listSeparator = given;
    settings.byteOrderMark = true;
    settings.statusColumns = true;
    const std::string csv = WriteExport(computers, settings);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto records = csv_reader::Read(std::string_view(csv).substr(3), used);
    ASSERT_TRUE(records) << given;
    const csv_reader::Records expected = {
        {"Ordinateur", "KB", "Install\xC3\xA9 le", "Install\xC3\xA9 le (ISO 8601)", "Description",
         "Install\xC3\xA9 par", "Statut", "Code", "Erreur"},
        {"SRV-\xC3\x89T\xC3\x89", "KB1", "31/02/2022", "", "'\t-tab", "DOMAINE\\admin", "complete",
         "", ""},
        {"SRV-\xC3\x89T\xC3\x89", "KB2", "22/02/2022", "2022-02-22",
         "D\xC3\xA9j\xC3\xA0 \"cit\xC3\xA9\";\r\nsuite,fin", "'=cmd|' /C calc'!A0", "complete", "",
         ""},
        {"S2", "", "", "", "", "", "failed", "0x800706BA", "Le serveur RPC n'est pas disponible"},
        {"S3", "", "", "", "", "", "incomplete", "0x800705B4", "Pas de r\xC3\xA9ponse ; ; \"x\""},
        {"S4", "", "", "", "", "", "stopped", "0x800704C7", "Non"}};
    EXPECT_EQ(*records, expected) << given;
  }
}

TEST(ExportCsv, KbReportAnswersEachKbOnEachComputer) {
  ExportSettings settings = Settings(ExportFormat::Csv);
  settings.kbs = {"KB5034441", "KB890830"};
  settings.kbReport = true;
  const std::vector<ComputerInventory> computers = {
      Computer("SRV1", {{"KB5034441", "", "", ""}}),
      Computer("SRV2", {{"kb890830", "", "", ""}}, InventoryStatus::Incomplete,
               static_cast<std::int32_t>(0x800706BE), "Rompu"),
      Computer("SRV3", {}, InventoryStatus::Failed, static_cast<std::int32_t>(0x800706BA), "RPC")};
  const auto records = csv_reader::Read(WriteExport(computers, settings), ";");
  ASSERT_TRUE(records);
  const csv_reader::Records expected = {
      {"Ordinateur", "KB", "Pr\xC3\xA9sent", "Statut", "Code", "Erreur"},
      {"SRV1", "KB5034441", "oui", "complete", "", ""},
      {"SRV1", "KB890830", "non", "complete", "", ""},
      {"SRV2", "KB5034441", "inconnu", "incomplete", "0x800706BE", "Rompu"},
      {"SRV2", "KB890830", "oui", "incomplete", "0x800706BE", "Rompu"},
      {"SRV3", "KB5034441", "inconnu", "failed", "0x800706BA", "RPC"},
      {"SRV3", "KB890830", "inconnu", "failed", "0x800706BA", "RPC"}};
  EXPECT_EQ(*records, expected);
}

// More distinct dates and texts than the writer remembers at once: each row keeps its own.
TEST(ExportCsv, ManyDistinctTextsReadBack) {
  std::vector<Row> rows;
  std::vector<std::string> iso;
  for (int day = 0; day < 5000; ++day) {
    DateTime date = 0;
    ASSERT_TRUE(TryEncodeDate(2000, 1, 1, date));
    int y = 0, m = 0, d = 0;
    DecodeDate(date + day, y, m, d);
    const std::string on = std::to_string(d) + "/" + std::to_string(m) + "/" + std::to_string(y);
    rows.push_back({"KB" + std::to_string(day), on, "\xE9" + std::to_string(day), ""});
    iso.push_back(IsoDate(on, Settings(ExportFormat::Csv).dateSettings, 2026));
  }
  const auto records =
      csv_reader::Read(WriteExport({Computer("A", rows)}, Settings(ExportFormat::Csv)), ";");
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), rows.size() + 1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ((*records)[i + 1][3], iso[i]) << i;
    EXPECT_EQ((*records)[i + 1][4], "\xC3\xA9" + std::to_string(i)) << i;
  }
  EXPECT_EQ((*records)[1][3], "2000-01-01");
  EXPECT_EQ((*records)[5000][3], "2013-09-08");
}

TEST(IsoDate, ReadsAsTheDateColumnDoes) {
  const struct {
    std::string text, format, iso;
  } cases[] = {
      {"22/02/2022", "dd/MM/yyyy", "2022-02-22"},
      {"2/22/2022", "M/d/yyyy", "2022-02-22"},
      {"2022/2/3", "yyyy/MM/dd", "2022-02-03"},
      {"22/02", "dd/MM/yyyy", "2026-02-22"},  // the current year completes it
      {"29/02/2023", "dd/MM/yyyy", ""},
      {"22/02/2022 10:00", "dd/MM/yyyy", ""},
      {"", "dd/MM/yyyy", ""},
      {"KB1", "dd/MM/yyyy", ""},
  };
  for (const auto& c : cases) {
    TFormatSettings settings;
    settings.ShortDateFormat = c.format;
    EXPECT_EQ(IsoDate(c.text, settings, 2026), c.iso) << c.text << " " << c.format;
  }
}

TEST(ExportJson, EscapesAndStatuses) {
  ExportSettings settings = Settings(ExportFormat::Json);
  settings.kbs = {"KB1", "KB9"};
  const std::vector<ComputerInventory> computers = {
      Computer("P\xC3\x89",
               {{"KB1", "22/02/2022", "a\"b\\c\x01\x1F\n\xE9", "x"}, {"KB0", "??", "", ""}}),
      Computer("S2", {}, InventoryStatus::Failed, static_cast<std::int32_t>(0x800706BA),
               "bad \xFF\xC3 utf8")};
  EXPECT_EQ(WriteExport(computers, settings),
            "{\"computers\":[\r\n"
            "{\"computer\":\"P\xC3\x89\",\"status\":\"complete\",\"errorCode\":\"0x00000000\","
            "\"errorText\":\"\",\"objectCount\":2,\"rows\":[\r\n"
            "{\"kb\":\"KB0\",\"installedOn\":\"??\",\"installedOnIso\":null,\"description\":\"\","
            "\"installedBy\":\"\"},\r\n"
            "{\"kb\":\"KB1\",\"installedOn\":\"22/02/2022\",\"installedOnIso\":\"2022-02-22\","
            "\"description\":\"a\\\"b\\\\c\\u0001\\u001F\\u000A\xC3\xA9\",\"installedBy\":\"x\"}],"
            "\"present\":[\"KB1\"],\"missing\":[\"KB9\"],\"unknown\":[]},\r\n"
            "{\"computer\":\"S2\",\"status\":\"failed\",\"errorCode\":\"0x800706BA\","
            "\"errorText\":\"bad \xEF\xBF\xBD\xEF\xBF\xBD utf8\",\"objectCount\":0,\"rows\":[],"
            "\"present\":[],\"missing\":[],\"unknown\":[\"KB1\",\"KB9\"]}]}\r\n");
}

}  // namespace
