#include "console/options.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include "inventory/kb_rules.h"
#include "inventory/update_sources.h"

namespace {

enum class ValueKind {
  None,     // a switch: /?
  Text,     // any text that is not empty
  Choice,   // one of `choices`, any letter case
  Number,   // decimal digits, from `minimum` to `maximum`
  KbList,   // comma-separated KB numbers, with or without "KB"
  Sources,  // comma-separated QFE, WU, CBS
};

struct OptionValue {
  std::string_view text;
  int number = 0;
  std::size_t choice = 0;
  std::vector<std::string> kbs;
  UpdateSources sources;
};

struct OptionRow {
  std::string_view name{};  // lower case, without its / or -
  ValueKind kind = ValueKind::None;
  std::string_view placeholder{};             // what the usage shows after ':'
  std::array<std::string_view, 4> choices{};  // Choice: the first is the default
  int minimum = 0;                            // Number
  int maximum = 0;
  int defaultNumber = 0;
  bool repeatable = false;
  std::string_view help{};  // one line of the /? text
  // Choice: what the /? text says of its default, when it is not the first choice; the option
  // then has no value until it is given.
  std::string_view defaultHelp{};
  void (*apply)(ConsoleOptions&, const OptionValue&) = nullptr;
};

constexpr std::array<ExportFormat, 3> kFormats = {ExportFormat::Text, ExportFormat::Csv,
                                                  ExportFormat::Json};
constexpr std::array<ReportShape, 2> kReports = {ReportShape::Rows, ReportShape::Kbs};

constexpr OptionRow kOptions[] = {
    {.name = "?",
     .help = "affiche cette aide",
     .apply = [](ConsoleOptions& o, const OptionValue&) { o.help = true; }},
    {.name = "host",
     .kind = ValueKind::Text,
     .placeholder = "NOM",
     .repeatable = true,
     .help = "ordinateur à lire, répétable (« . » : cet ordinateur)",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.hosts.emplace_back(v.text); }},
    {.name = "hosts",
     .kind = ValueKind::Text,
     .placeholder = "FICHIER",
     .help = "fichier : un ordinateur par ligne (# : commentaire)",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.hostsFile = v.text; }},
    {.name = "user",
     .kind = ValueKind::Text,
     .placeholder = "DOMAINE\\nom",
     .help = "compte ; son mot de passe est demandé sur la console",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.user = v.text; }},
    {.name = "format",
     .kind = ValueKind::Choice,
     .choices = {"txt", "csv", "json"},
     .help = "texte de « Copier », CSV ou JSON",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.format = kFormats[v.choice]; }},
    {.name = "out",
     .kind = ValueKind::Text,
     .placeholder = "FICHIER",
     .help = "écrit dans ce fichier, pas sur la sortie standard",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.outFile = v.text; }},
    {.name = "kb",
     .kind = ValueKind::KbList,
     .placeholder = "LISTE",
     .repeatable = true,
     .help = "KB cherchés (KB5034441,5034439 ; « KB » facultatif)",
     .apply =
         [](ConsoleOptions& o, const OptionValue& v) {
           for (const std::string& kb : v.kbs) {
             if (std::find(o.kbs.begin(), o.kbs.end(), kb) == o.kbs.end()) o.kbs.push_back(kb);
           }
         }},
    {.name = "report",
     .kind = ValueKind::Choice,
     .choices = {"rows", "kb"},
     .help = "par mise à jour, ou par KB",
     .defaultHelp = "kb si /kb:",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.report = kReports[v.choice]; }},
    {.name = "encoding",
     .kind = ValueKind::Choice,
     .choices = {"console", "utf8"},
     .help = "codage de la sortie redirigée",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.utf8Output = v.choice == 1; }},
    {.name = "sources",
     .kind = ValueKind::Sources,
     .placeholder = "LISTE",
     .help = "QFE (WMI), WU (Windows Update), CBS (maintenance)",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.sources = v.sources; }},
    {.name = "parallel",
     .kind = ValueKind::Number,
     .placeholder = "N",
     .minimum = 1,
     .maximum = 64,
     .defaultNumber = 16,
     .help = "ordinateurs lus en même temps",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.parallel = v.number; }},
    {.name = "timeout",
     .kind = ValueKind::Number,
     .placeholder = "SECONDES",
     .minimum = 1,
     .maximum = 3600,
     .defaultNumber = 30,
     .help = "délai de réponse maximal",
     .apply = [](ConsoleOptions& o, const OptionValue& v) { o.timeoutSeconds = v.number; }},
};

constexpr std::string_view kOpenQuote = "« ";
constexpr std::string_view kCloseQuote = " »";

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view typed, std::string_view name) {
  return typed.size() == name.size() &&
         std::equal(typed.begin(), typed.end(), name.begin(),
                    [](char a, char b) { return AsciiLower(a) == b; });
}

std::string Quoted(std::string_view text) {
  return std::string(kOpenQuote) + std::string(text) + std::string(kCloseQuote);
}

std::string Joined(const std::array<std::string_view, 4>& choices, std::string_view between,
                   std::string_view last) {
  std::size_t count = 0;
  while (count < choices.size() && !choices[count].empty()) ++count;
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += i + 1 == count ? last : between;
    text += choices[i];
  }
  return text;
}

std::string Placeholder(const OptionRow& row) {
  return row.kind == ValueKind::Choice ? Joined(row.choices, "|", "|")
                                       : std::string(row.placeholder);
}

// "/parallel:N", as the usage and the messages show it.
std::string Synopsis(const OptionRow& row) {
  std::string text = "/" + std::string(row.name);
  if (row.kind != ValueKind::None) text += ":" + Placeholder(row);
  return text;
}

// What the table says of the value beyond its help line: limits and default.
std::string Expected(const OptionRow& row) {
  switch (row.kind) {
    case ValueKind::Number:
      return "un nombre de " + std::to_string(row.minimum) + " à " + std::to_string(row.maximum);
    case ValueKind::Choice:
      return Joined(row.choices, ", ", " ou ");
    case ValueKind::KbList:
      return "des numéros de KB séparés par des virgules";
    case ValueKind::Sources:
      return "QFE, WU ou CBS, séparés par des virgules";
    default:
      return "une valeur";
  }
}

bool ReadNumber(std::string_view text, int& number) {
  if (text.empty() || text.size() > 9) return false;
  number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool ReadKbList(std::string_view text, std::vector<std::string>& kbs) {
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string digits = StripKbPrefix(Trimmed(text.substr(0, comma)));
    if (digits.empty() || FirstNonDigitPosition(digits) != 0) return false;
    const std::int32_t number = KbNumber(digits);
    if (number <= 0) return false;
    kbs.push_back("KB" + std::to_string(number));
    if (comma == std::string_view::npos) return true;
    text.remove_prefix(comma + 1);
  }
}

// Reads `value` as `row` wants it; false when it does not read.
bool ReadValue(const OptionRow& row, std::string_view value, OptionValue& read) {
  read.text = value;
  switch (row.kind) {
    case ValueKind::None:
    case ValueKind::Text:
      return true;
    case ValueKind::Choice:
      for (std::size_t i = 0; i < row.choices.size() && !row.choices[i].empty(); ++i) {
        if (SameName(value, row.choices[i])) {
          read.choice = i;
          return true;
        }
      }
      return false;
    case ValueKind::Number:
      return ReadNumber(value, read.number) && read.number >= row.minimum &&
             read.number <= row.maximum;
    case ValueKind::KbList:
      return ReadKbList(value, read.kbs);
    case ValueKind::Sources:
      return ReadUpdateSourcesStrictly(value, read.sources);
  }
  return false;
}

std::string Error(std::string message) {
  return message + ". Aide : Fixtally /?";
}

}  // namespace

ParsedCommandLine ParseConsoleOptions(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  ConsoleOptions& options = parsed.options;
  for (const OptionRow& row : kOptions) {
    OptionValue initial;
    if (row.kind == ValueKind::Number) {
      initial.number = row.defaultNumber;
      row.apply(options, initial);
    } else if (row.kind == ValueKind::Choice && row.defaultHelp.empty()) {
      row.apply(options, initial);
    }
  }

  std::array<bool, std::size(kOptions)> seen{};
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
      parsed.error =
          Error("Argument inattendu : " + Quoted(argument) + " ; une option commence par / ou -");
      return parsed;
    }
    const std::size_t colon = argument.find(':');
    const std::string_view typed = std::string_view(argument).substr(0, colon);
    const std::string_view name = typed.substr(1);
    const auto* row = std::find_if(std::begin(kOptions), std::end(kOptions),
                                   [&](const OptionRow& r) { return SameName(name, r.name); });
    if (row == std::end(kOptions)) {
      parsed.error = Error("Option inconnue : " + std::string(typed));
      return parsed;
    }
    const std::string shown = "/" + std::string(row->name);
    const std::size_t index = static_cast<std::size_t>(row - std::begin(kOptions));
    if (seen[index] && !row->repeatable) {
      parsed.error = Error("L'option " + shown + " est donnée plus d'une fois");
      return parsed;
    }
    seen[index] = true;
    const bool hasValue = colon != std::string::npos;
    const std::string_view value =
        hasValue ? std::string_view(argument).substr(colon + 1) : std::string_view();
    if (row->kind == ValueKind::None && hasValue) {
      parsed.error = Error("L'option " + shown + " ne prend pas de valeur");
      return parsed;
    }
    if (row->kind != ValueKind::None && value.empty()) {
      parsed.error = Error("L'option " + shown + " attend une valeur : " + Synopsis(*row));
      return parsed;
    }
    OptionValue read;
    if (!ReadValue(*row, value, read)) {
      parsed.error = Error("Valeur incorrecte pour " + shown + " : " + Quoted(value) +
                           " (attendu : " + Expected(*row) + ")");
      return parsed;
    }
    row->apply(options, read);
  }
  if (options.report == ReportShape::Kbs && options.kbs.empty()) {
    parsed.error = Error("L'option /report:kb demande la liste des KB : /kb:LISTE");
  }
  return parsed;
}

std::string UsageText() {
  constexpr std::string_view kLineEnd = "\r\n";
  // Lines stay within the 80 columns of a default console.
  constexpr std::size_t kWidth = 79;
  std::string text =
      "Fixtally : les mises à jour installées sur un ou plusieurs ordinateurs.\r\n\r\n";
  std::string line = "Fixtally";
  for (const OptionRow& row : kOptions) {
    if (row.name == "?") continue;
    const std::string item = "[" + Synopsis(row) + (row.repeatable ? " ..." : "") + "]";
    if (line.size() + 1 + item.size() > kWidth) {
      text += line + std::string(kLineEnd);
      line = "        ";
    }
    line += " " + item;
  }
  text += line + "\r\n\r\n";
  std::size_t width = 0;
  for (const OptionRow& row : kOptions) width = std::max(width, Synopsis(row).size());
  for (const OptionRow& row : kOptions) {
    const std::string synopsis = Synopsis(row);
    text += "  " + synopsis + std::string(width - synopsis.size() + 2, ' ') + std::string(row.help);
    if (row.kind == ValueKind::Number) {
      text += " (" + std::to_string(row.minimum) + " à " + std::to_string(row.maximum) +
              ", par défaut " + std::to_string(row.defaultNumber) + ")";
    } else if (row.kind == ValueKind::Choice) {
      const std::string_view byDefault = row.defaultHelp.empty() ? row.choices[0] : row.defaultHelp;
      text += " (par défaut " + std::string(byDefault) + ")";
    }
    text += kLineEnd;
  }
  text +=
      "\r\n"
      "Sans /host: ni /hosts:, l'ordinateur du fichier Fixtally.ini, sinon celui-ci.\r\n"
      "\r\n"
      "Codes de sortie :\r\n"
      "  0  tout est lu ; avec /kb:, chaque KB est présent sur chaque ordinateur\r\n"
      "  1  avec /kb:, un KB manque sur un ordinateur\r\n"
      "  2  un ordinateur n'a pas pu être lu entièrement (l'emporte sur 1)\r\n"
      "  3  option inconnue ou valeur incorrecte : rien n'est analysé\r\n";
  return text;
}
