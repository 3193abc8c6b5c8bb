// Times one DHL label job end to end (the worker with the real relay against the stand-in service
// on loopback) beside its floor: isql-fb running the job's own statements on the same database,
// plus the relay's exchange run on its own. Wall and CPU time (the process and what it waited
// for), median of the runs, on the Firebird server and on the embedded engine. Last, the worker's
// CPU time while a relay sleeps one second: the wait must not spin.
//
// Usage: dhl_job_bench [runs]   (default 20)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/job_timing.h"
#include "couriers/dhl/dhl_label.h"
#include "couriers/dhl/dhl_header_update.h"
#include "couriers/dhl/dhl_reply.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

using bench::CompareWithFloor;
using bench::Measure;
using bench::Median;
using bench::Report;
using bench::Time;

void Require(bool condition, const std::string& what) {
  if (!condition) {
    std::fprintf(stderr, "dhl_job_bench: %s\n", what.c_str());
    std::exit(1);
  }
}

// The statements the worker runs for the job, as isql-fb reads them: the job SELECT, the header
// UPDATE, the re-select, the row UPDATE with the three label texts, the ESITO UPDATE, each UPDATE
// committed. Built from the reply and the texts of a run of the worker, in Windows-1252.
std::string JobScript(const std::string& connection, const ProgramFolderCopy& program,
                      const JobDatabase& database) {
  const std::u16string reply_path = Utf8ToUtf16(program.path() + "data/out/dhl_15_2.txt");
  const DhlReply reply = ReadReply(XmlDocument::Load(reply_path), reply_path);
  IBDatabase unattached;
  IBTransaction transaction(unattached);
  IBQuery query(unattached, transaction);
  const std::u16string select =
      u"SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 AND R.RIGA=2";
  std::u16string script = u"SET NAMES WIN1252;\nCONNECT '" + Utf8ToUtf16(connection) +
                          u"' USER 'SYSDBA' PASSWORD 'ambertide';\nSET HEADING OFF;\n" + select +
                          u";\n";
  LoadHeaderUpdate(query, reply.routing, u"15");
  script += query.SQL.Text() + u";\nCOMMIT;\n" + select + u";\n";
  const std::string row = "SELECT * FROM VORLABR WHERE TESTATA=15 AND RIGA=2";
  LoadRowUpdate(query,
                {database.Value(row, "REPORT_ETICHETTA"), database.Value(row, "REPORT_ARCHIVIO"),
                 database.Value(row, "REPORT_CUSTOM")},
                u"15", u"2");
  script += query.SQL.Text() + u";\nCOMMIT;\n";
  script += u"UPDATE VORLABR SET ESITO='000 - Completato' WHERE TESTATA=15 AND RIGA=2;\nCOMMIT;\n";
  return Utf16ToCp1252(script);
}

void BenchEngine(Engine engine, int runs, const DhlStandIn& service) {
  TempFolder folder;
  ProgramFolderCopy program(folder.path() + "program/");
  program.InstallRealRelay();
  JobDatabase database(engine, folder.path() + "archivio.fdb");
  AddDhlJob(database, 15, 2);
  StartOptions options;
  options.environment = {{"VORLABWS_DHL_URL", service.address()}};
  const auto worker = [&] {
    const WorkerRun run = program.Run({database.connection(), "15", "2"}, options);
    Require(run.exit_code == 0,
            "the worker ended with " + std::to_string(run.exit_code) + ": " + run.standard_output);
  };
  worker();  // warms the caches and leaves the reply and texts the floor replays

  const std::string script = JobScript(database.connection(), program, database);
  const auto isql = [&] {
    const ProcessResult run = RunProcess(u"/usr/bin/isql-fb", {u"-q", u"-bail"}, {}, script);
    Require(run.exit_code == 0, "isql-fb failed: " + run.standard_output + run.standard_error);
  };
  const auto relay = [&] {
    const ProcessResult run = RunProcess(
        Utf8ToUtf16(program.path() + "Relayer.exe"),
        {Utf8ToUtf16(service.address()), Utf8ToUtf16(program.path() + "data"), u"dhl_15_2.txt"});
    Require(run.exit_code == 0, "the relay failed: " + run.standard_error);
  };

  CompareWithFloor(std::string(EngineName(engine)) + " engine", runs,
                   {"worker (job with the real relay)", worker},
                   {"isql-fb running the job's statements", isql}, {"relay on its own", relay},
                   "floor (isql-fb + relay, run by run)");
}

// The worker with a relay that ends at once and with one that sleeps a second first (both leave
// no reply): the difference in CPU time is what the wait costs.
void BenchWaitingForRelay(int runs) {
  TempFolder folder;
  ProgramFolderCopy program(folder.path() + "program/");
  JobDatabase database(Engine::kEmbedded, folder.path() + "archivio.fdb");
  AddDhlJob(database, 15, 2);
  std::printf("Waiting for a relay that leaves no reply, median of %d runs:\n", runs);
  for (const auto& [name, script] : {std::pair{"relay ending at once", "exit 1"},
                                     std::pair{"relay sleeping one second", "sleep 1\nexit 1"}}) {
    program.InstallRelayScript(script);
    std::vector<Measure> measures;
    for (int i = 0; i < runs; ++i) {
      measures.push_back(Time([&] { program.Run({database.connection(), "15", "2"}); }));
    }
    Report(name, Median(measures));
  }
}

}  // namespace
}  // namespace vorlabws::testing

int main(int argc, char** argv) {
  using namespace vorlabws::testing;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const DhlStandIn service;
  BenchEngine(Engine::kServer, runs, service);
  BenchEngine(Engine::kEmbedded, runs, service);
  BenchWaitingForRelay(std::min(runs, 5));
  return 0;
}
