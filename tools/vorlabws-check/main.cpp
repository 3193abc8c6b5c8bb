// vorlabws-check DATABASE [--online] [--json]: tells an installer everything about this program
// folder, the database route and the job tables that would make a job fail, changing nothing.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "tools/vorlabws-check/check_version.h"
#include "tools/vorlabws-check/site_checks.h"

namespace {

constexpr const char* kUsage =
    "usage: vorlabws-check DATABASE [--online] [--json]\n"
    "       vorlabws-check --version\n"
    "Checks the program folder beside this tool, the route to DATABASE (the worker's first\n"
    "argument) and its job tables; --online also reaches the couriers' services.\n";

struct Options {
  std::string database;
  bool online = false;
  bool json = false;
  bool version = false;
};

// False for arguments that make no check.
bool ReadOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--online") {
      options.online = true;
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument.starts_with("-") || !options.database.empty()) {
      return false;
    } else {
      options.database = argument;
    }
  }
  return options.version || !options.database.empty();
}

vorlabws::check::Findings CheckSite(const Options& options) {
  using namespace vorlabws::check;
  Findings findings = CheckProgramFolder(vorlabws::ProgramFolder());
  RouteCheck route = CheckDatabaseRoute(vorlabws::Utf8ToUtf16(options.database));
  findings.insert(findings.end(), route.findings.begin(), route.findings.end());
  if (route.attached) {
    const Findings tables = CheckJobTables(*route.attached);
    findings.insert(findings.end(), tables.begin(), tables.end());
  }
  const Findings environment = CheckEnvironment();
  findings.insert(findings.end(), environment.begin(), environment.end());
  if (options.online) {
    const Findings online = CheckCouriersOnline();
    findings.insert(findings.end(), online.begin(), online.end());
  }
  return findings;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (options.version) {
    std::printf("vorlabws-check %s\n", VORLABWS_CHECK_VERSION);
    return 0;
  }
  const vorlabws::check::Findings findings = CheckSite(options);
  const std::string output = options.json
                                 ? vorlabws::check::FindingsJson(findings, VORLABWS_CHECK_VERSION)
                                 : vorlabws::check::FindingsTable(findings);
  std::fputs(output.c_str(), stdout);
  // Every connection the check made is detached by now; returning would only wait out the client
  // library's teardown.
  vorlabws::EndProcessNow(vorlabws::check::FindingsExitCode(findings));
}
