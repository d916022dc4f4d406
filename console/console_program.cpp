#include "console/console_program.h"

#include <exception>
#include <utility>

#include "Systeme/errors.h"
#include "Systeme/hresult_text.h"
#include "console/exit_code.h"
#include "console/host_list.h"
#include "console/options.h"
#include "writers/copy_text.h"

namespace {

constexpr int kDefaultParallel = 16;
constexpr int kDefaultTimeoutSeconds = 30;

// The computers named on the command line and in the file, in that order; the settings file's
// computer when none is named.
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

std::string ProgressText(std::size_t done, std::size_t total, std::size_t failed) {
  return std::to_string(done) + "/" + std::to_string(total) + " ordinateurs, " +
         std::to_string(failed) + " en échec";
}

bool AllComplete(const std::vector<ComputerInventory>& computers) {
  for (const ComputerInventory& computer : computers) {
    if (computer.status != InventoryStatus::Complete) return false;
  }
  return true;
}

}  // namespace

int RunConsoleProgram(const std::vector<std::string>& arguments, ConsolePorts& ports,
                      const std::atomic<bool>& stop) {
  const ParsedCommandLine parsed = ParseConsoleOptions(arguments);
  if (!parsed.error.empty()) {
    ports.reportError(parsed.error);
    ports.reportError("Fixtally /? décrit les options.");
    return kExitBadCommandLine;
  }
  const ConsoleOptions& options = parsed.options;
  if (options.help) {
    ports.writeOutput(ports.codePage->FromUtf8(UsageText()), false);
    return kExitOk;
  }

  try {
    const TSettings settings = ports.loadSettings();
    LocaleText& codePage = *ports.codePage;
    std::string user = codePage.ToUtf8(settings.User);
    SecretText password = codePage.ToUtf8(settings.Password);
    if (!options.user.empty()) {
      user = options.user;
      std::optional<SecretText> typed =
          ports.askPassword("Mot de passe de " + options.user + " : ");
      if (!typed) {
        ports.reportError("Le mot de passe de /user: se demande sur la console, qui manque ici.");
        return kExitBadCommandLine;
      }
      password = std::move(*typed);
    }

    std::vector<std::string> names;
    try {
      names = Computers(options, settings, ports);
    } catch (const EFixtallyError& error) {
      ports.reportError(error.what());  // a file of /hosts: that cannot be read is a bad value
      return kExitBadCommandLine;
    }
    std::vector<ComputerRequest> requests;
    const std::string nameSpace = codePage.ToUtf8(settings.Root);
    for (std::string& computer : names) {
      requests.push_back(ComputerRequest{std::move(computer), nameSpace, user, password});
    }
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
    const std::vector<ComputerInventory> computers =
        RunComputers(requests, run, ports.run, stop,
                     [&ports](std::size_t done, std::size_t total, std::size_t failed) {
                       ports.showProgress(ProgressText(done, total, failed));
                     });

    ExportSettings exportSettings;
    exportSettings.format = options.format;
    exportSettings.listSeparator = ports.listSeparator;
    exportSettings.byteOrderMark = !options.outFile.empty();
    exportSettings.copySeparator = copySeparator;
    exportSettings.dateSettings = ports.run.displaySettings;
    exportSettings.currentYear = ports.run.currentYear;
    exportSettings.codePage = ports.codePage;
    exportSettings.kbs = options.kbs;
    const std::string output = WriteExport(computers, exportSettings);
    const bool utf8 = options.format != ExportFormat::Text;
    if (!options.outFile.empty()) {
      ports.replaceFile(options.outFile, output);
    } else if (!ports.writeOutput(output, utf8)) {
      ports.reportError("La sortie standard n'a pas pu être écrite en entier.");
      return kExitIncomplete;
    }

    if (!options.kbs.empty() || !AllComplete(computers)) {
      for (const ComputerInventory& computer : computers) {
        if (computer.status == InventoryStatus::Complete) continue;
        ports.reportError(computer.computer + " : " +
                          (computer.status == InventoryStatus::Failed ? "échec " : "incomplet ") +
                          HresultText(computer.errorCode) + " " + computer.errorText);
      }
    }
    // Stopped by Ctrl+C: what was written is valid, but the run is not whole.
    if (stop.load()) return kExitIncomplete;
    return ConsoleExitCode(computers, options.kbs);
  } catch (const std::exception& error) {
    ports.reportError(error.what());
    return kExitIncomplete;
  }
}
