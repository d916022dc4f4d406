// Any command line: either a message that names what is wrong, or options within the table's
// limits that, written back as a command line, parse to themselves.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "console/options.h"
#include "fuzz_support.h"
#include "inventory/kb_rules.h"

namespace {

void CheckSame(const ConsoleOptions& a, const ConsoleOptions& b) {
  FUZZ_CHECK(a.help == b.help);
  FUZZ_CHECK(a.hosts == b.hosts);
  FUZZ_CHECK(a.hostsFile == b.hostsFile);
  FUZZ_CHECK(a.user == b.user);
  FUZZ_CHECK(a.format == b.format);
  FUZZ_CHECK(a.outFile == b.outFile);
  FUZZ_CHECK(a.kbs == b.kbs);
  FUZZ_CHECK(a.parallel == b.parallel);
  FUZZ_CHECK(a.timeoutSeconds == b.timeoutSeconds);
  FUZZ_CHECK(a.report == b.report);
  FUZZ_CHECK(a.utf8Output == b.utf8Output);
}

std::vector<std::string> WrittenBack(const ConsoleOptions& options) {
  static const char* const kFormats[] = {"txt", "csv", "json"};
  std::vector<std::string> arguments;
  if (options.help) arguments.push_back("-?");
  for (const std::string& host : options.hosts) arguments.push_back("/HOST:" + host);
  if (!options.hostsFile.empty()) arguments.push_back("/hosts:" + options.hostsFile);
  if (!options.user.empty()) arguments.push_back("-user:" + options.user);
  arguments.push_back(std::string("/format:") + kFormats[static_cast<int>(options.format)]);
  if (!options.outFile.empty()) arguments.push_back("/out:" + options.outFile);
  for (const std::string& kb : options.kbs) arguments.push_back("/kb:" + kb);
  arguments.push_back("/parallel:" + std::to_string(options.parallel));
  arguments.push_back("/Timeout:" + std::to_string(options.timeoutSeconds));
  if (options.report) {
    arguments.push_back(options.report == ReportShape::Kbs ? "/report:KB" : "/report:rows");
  }
  if (options.utf8Output) arguments.push_back("/encoding:utf8");
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const char* const kStarts[] = {
      "/host:",     "/hosts:",   "/user:", "/format:", "/out:",    "/kb:",
      "/parallel:", "/timeout:", "/?",     "-KB:",     "/report:", "/encoding:"};
  FuzzedDataProvider data(bytes, size);
  std::vector<std::string> arguments;
  while (data.remaining_bytes() > 0 && arguments.size() < 12) {
    // Mostly well-started options, so values get exercised, not just unknown names.
    std::string argument = data.ConsumeBool() ? data.PickValueInArray(kStarts) : "";
    argument += fuzz::Text(data, 40);
    arguments.push_back(std::move(argument));
  }
  const ParsedCommandLine parsed = ParseConsoleOptions(arguments);
  if (!parsed.error.empty()) {
    FUZZ_CHECK(parsed.error.find("Aide : Fixtally /?") != std::string::npos);
    return 0;
  }
  const ConsoleOptions& options = parsed.options;
  FUZZ_CHECK(options.parallel >= 1 && options.parallel <= 64);
  FUZZ_CHECK(options.timeoutSeconds >= 1 && options.timeoutSeconds <= 3600);
  for (const std::string& host : options.hosts) FUZZ_CHECK(!host.empty());
  FUZZ_CHECK(options.report != ReportShape::Kbs || !options.kbs.empty());
  for (std::size_t i = 0; i < options.kbs.size(); ++i) {
    const std::string& kb = options.kbs[i];
    FUZZ_CHECK(kb.size() > 2 && kb.compare(0, 2, "KB") == 0 && KbNumber(kb) > 0);
    FUZZ_CHECK("KB" + std::to_string(KbNumber(kb)) == kb);
    FUZZ_CHECK(std::find(options.kbs.begin(), options.kbs.begin() + static_cast<long>(i), kb) ==
               options.kbs.begin() + static_cast<long>(i));
  }
  const ParsedCommandLine again = ParseConsoleOptions(WrittenBack(options));
  FUZZ_CHECK(again.error.empty());
  CheckSame(again.options, options);
  return 0;
}
