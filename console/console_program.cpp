#include "console/console_program.h"

#include <exception>
#include <utility>

#include "Systeme/errors.h"
#include "Systeme/local_names.h"
#include "console/exit_code.h"
#include "console/host_list.h"
#include "console/options.h"
#include "writers/copy_text.h"

namespace {

constexpr int kDefaultParallel = 16;
constexpr int kDefaultTimeoutSeconds = 30;

// The computers named on the command line and in the file, in that order; the settings file's
// computer when none is named. UTF-8.
std::vector<std::string> Computers(const ConsoleOptions& options, const TSettings& settings,
                                   ConsolePorts& ports) {
  std::vector<std::string> computers = options.hosts;
  LocaleText& codePage = *ports.codePage;
  if (!options.hostsFile.empty()) {
    const std::string option = "/hosts:" + options.hostsFile + " : ";
    std::string bytes;
    try {
      bytes = ports.readFile(options.hostsFile);
    } catch (const EFixtallyError& error) {
      throw EFixtallyError(option + error.what());
    }
    HostList list =
        ParseHostList(bytes, [&codePage](std::string_view text) { return codePage.ToUtf8(text); });
    if (!list.error.empty()) throw EFixtallyError(option + list.error);
    if (list.hosts.empty()) throw EFixtallyError(option + "aucun ordinateur dans le fichier");
    for (std::string& host : list.hosts) computers.push_back(std::move(host));
  }
  if (computers.empty()) computers.push_back(codePage.ToUtf8(settings.LocalHost));
  return computers;
}

std::string Count(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string ProgressText(std::size_t done, std::size_t total, std::size_t failed) {
  return std::to_string(done) + "/" + Count(total, "ordinateur", "ordinateurs") + ", " +
         std::to_string(failed) + " en \xC3\xA9" + "chec";
}

std::string StoppedText(std::size_t notRead, std::size_t total) {
  std::string text = "Arr\xC3\xAAt\xC3\xA9 par l'utilisateur (Ctrl+C)";
  if (notRead == 0) return text + ".";
  return text + " : " + Count(notRead, "ordinateur", "ordinateurs") + " sur " +
         std::to_string(total) +
         (notRead == 1 ? " n'a pas \xC3\xA9t\xC3\xA9 lu." : " n'ont pas \xC3\xA9t\xC3\xA9 lus.");
}

}  // namespace

int RunConsoleProgram(const std::vector<std::string>& arguments, ConsolePorts& ports,
                      const std::atomic<bool>& stop) {
  const ParsedCommandLine parsed = ParseConsoleOptions(arguments);
  if (!parsed.error.empty()) {
    ports.reportError(parsed.error);
    return kExitBadCommandLine;
  }
  const ConsoleOptions& options = parsed.options;
  if (options.help) {
    ports.writeOutput(UsageText(), options.utf8Output);
    return kExitOk;
  }

  try {
    // Whatever could refuse the run is refused before any computer is read or any password
    // asked: a missing folder for /out: is not found out after an hour of reading.
    if (!options.outFile.empty()) {
      try {
        ports.checkWritable(options.outFile);
      } catch (const EFixtallyError& error) {
        ports.reportError(std::string("/out: ") + error.what());
        return kExitBadCommandLine;
      }
    }
    const TSettings settings = ports.loadSettings();
    std::vector<std::string> names;
    try {
      names = Computers(options, settings, ports);
    } catch (const EFixtallyError& error) {
      ports.reportError(error.what());  // a file of /hosts: that cannot be read is a bad value
      return kExitBadCommandLine;
    }
    LocaleText& codePage = *ports.codePage;
    std::string user = codePage.ToUtf8(settings.User);
    SecretText password = codePage.ToUtf8(settings.Password);
    if (!options.user.empty()) {
      user = options.user;
      PasswordAnswer answer = ports.askPassword("Mot de passe de " + user + " : ");
      if (answer.kind == PasswordAnswer::Kind::NoConsole) {
        ports.reportError("Le mot de passe de " + user +
                          " ne peut pas \xC3\xAAtre demand\xC3\xA9 : aucune console n'est ouverte "
                          "pour le taper.");
        return kExitBadCommandLine;
      }
      if (answer.kind == PasswordAnswer::Kind::NotEnded) {
        ports.reportError("Mot de passe non saisi : aucun ordinateur n'est lu.");
        return kExitIncomplete;
      }
      password = std::move(answer.password);
    }

    std::vector<ComputerRequest> requests;
    const std::string nameSpace = codePage.ToUtf8(settings.Root);
    for (std::string& computer : names) {
      const bool here = ports.isThisComputer(computer);
      requests.push_back(ComputerRequest{std::move(computer), nameSpace, here ? "" : user,
                                         here ? SecretText() : password});
    }
    password.Wipe();
    // The rows keep every text the computers sent; what the copy separator would refuse is
    // refused before any computer is read.
    const std::string copySeparator = CopySeparator(settings.DefChar, settings.NbrChar);

    RunSettings run;
    run.parallel = options.parallel > 0 ? options.parallel : kDefaultParallel;
    run.timeoutMs =
        static_cast<std::uint32_t>(options.timeoutSeconds > 0 ? options.timeoutSeconds
                                                              : kDefaultTimeoutSeconds) *
        1000u;
    run.sources = options.sources ? *options.sources : ParseUpdateSources(settings.Sources);
    run.onThisThread = requests.size() == 1 && ports.isThisComputer(requests[0].computer);
    std::vector<ComputerInventory> computers =
        RunComputers(requests, run, ports.run, stop,
                     [&ports](std::size_t done, std::size_t total, std::size_t failed) {
                       ports.showProgress(ProgressText(done, total, failed));
                     });
    requests.clear();  // their passwords wiped
    for (ComputerInventory& computer : computers) {
      if (IsLoopbackName(computer.computer)) computer.computer = ports.thisComputerName();
    }

    ExportSettings exportSettings;
    exportSettings.format = options.format;
    exportSettings.listSeparator = ports.listSeparator;
    exportSettings.byteOrderMark = !options.outFile.empty();
    exportSettings.copySeparator = copySeparator;
    exportSettings.dateSettings = ports.run.displaySettings;
    exportSettings.currentYear = ports.run.currentYear;
    exportSettings.codePage = ports.codePage;
    exportSettings.kbs = options.kbs;
    exportSettings.kbReport =
        options.report ? *options.report == ReportShape::Kbs : !options.kbs.empty();
    exportSettings.statusColumns = true;
    const std::string output = WriteExport(computers, exportSettings);
    const bool text = options.format == ExportFormat::Text;
    if (!options.outFile.empty()) {
      ports.replaceFile(options.outFile, output);  // the text in ANSI, as "Exporter…" writes it
    } else if (!ports.writeOutput(text ? codePage.ToUtf8(output) : output, options.utf8Output)) {
      ports.reportError(
          "La sortie standard n'a pas pu \xC3\xAAtre \xC3\xA9"
          "crite en entier.");
      return kExitIncomplete;
    }

    // One line per computer not read, unless the user reads it already among the results.
    const bool shownWithTheResults = text && options.outFile.empty() && ports.outputIsConsole;
    std::size_t notRead = 0;
    for (const ComputerInventory& computer : computers) {
      if (computer.status == InventoryStatus::Stopped) ++notRead;
      if (computer.status == InventoryStatus::Stopped ||
          computer.status == InventoryStatus::Complete || shownWithTheResults) {
        continue;
      }
      ports.reportError(StatusLine(computer));
    }
    // Stopped by Ctrl+C: what was written is valid, but the run is not whole.
    if (stop.load()) {
      ports.reportError(StoppedText(notRead, computers.size()));
      return kExitIncomplete;
    }
    return ConsoleExitCode(computers, options.kbs);
  } catch (const std::exception& error) {
    ports.reportError(error.what());
    return kExitIncomplete;
  }
}
