// Times one DHL label job end to end (the worker with the real relay against the stand-in service
// on loopback) beside its floors: the true floor, dhl_floor running the job's statements on the
// raw client API and the same relay run, ending at once; and the tools' floor, isql-fb running
// the job's own statements on the same database plus the relay run on its own. Wall and CPU time
// (the process and what it waited for), median of the runs, interleaved, on the Firebird server
// and on the embedded engine. Last, the worker's
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

#include "bench/support/floor_plan_writer.h"
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

using bench::CompareWithFloors;
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

// The statements the worker runs for the job, in its order: the job SELECT, the header UPDATE,
// the re-select, the row UPDATE with the three label texts, the ESITO UPDATE. Built from the reply
// and the texts of a run of the worker.
struct JobStatements {
  SqlText select;
  SqlText header_update;
  SqlText row_update;
  SqlText esito_update;
};

JobStatements StatementsOfTheJob(const ProgramFolderCopy& program, const JobDatabase& database) {
  const std::u16string reply_path = Utf8ToUtf16(program.path() + "data/out/dhl_15_2.txt");
  const DhlReply reply = ReadReply(XmlDocument::Load(reply_path), reply_path);
  IBDatabase unattached;
  IBTransaction transaction(unattached);
  IBQuery query(unattached, transaction);
  JobStatements statements;
  statements.select.Add(
      u"SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 AND R.RIGA=2");
  LoadHeaderUpdate(query, reply.routing, u"15");
  statements.header_update = query.SQL;
  const std::string row = "SELECT * FROM VORLABR WHERE TESTATA=15 AND RIGA=2";
  LoadRowUpdate(query,
                {database.Value(row, "REPORT_ETICHETTA"), database.Value(row, "REPORT_ARCHIVIO"),
                 database.Value(row, "REPORT_CUSTOM")},
                u"15", u"2");
  statements.row_update = query.SQL;
  statements.esito_update.Add(
      u"UPDATE VORLABR SET ESITO='000 - Completato' WHERE TESTATA=15 AND RIGA=2");
  return statements;
}

// The statements as isql-fb reads them, in Windows-1252, each UPDATE committed.
std::string JobScript(const std::string& connection, const JobStatements& statements) {
  const std::u16string select = statements.select.Text() + u";\n";
  const auto committed = [](const SqlText& update) { return update.Text() + u";\nCOMMIT;\n"; };
  return Utf16ToCp1252(u"SET NAMES WIN1252;\nCONNECT '" + Utf8ToUtf16(connection) +
                       u"' USER 'SYSDBA' PASSWORD 'ambertide';\nSET HEADING OFF;\n" + select +
                       committed(statements.header_update) + select +
                       committed(statements.row_update) + committed(statements.esito_update));
}

// The job in the worker's order for dhl_floor, the relay run between the SELECT and the header.
std::string FloorPlan(const std::string& folder, const std::string& connection,
                      const JobStatements& statements, const std::vector<std::string>& relay) {
  bench::FloorPlanWriter plan(folder);
  plan.Step("attach", {connection});
  plan.Statement("select", statements.select);
  plan.Step("relay", relay);
  plan.Statement("update", statements.header_update);
  plan.Statement("select", statements.select);
  plan.Statement("update", statements.row_update);
  plan.Statement("update", statements.esito_update);
  return plan.Write();
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

  const JobStatements statements = StatementsOfTheJob(program, database);
  const std::string script = JobScript(database.connection(), statements);
  const auto isql = [&] {
    const ProcessResult run = RunProcess(u"/usr/bin/isql-fb", {u"-q", u"-bail"}, {}, script);
    Require(run.exit_code == 0, "isql-fb failed: " + run.standard_output + run.standard_error);
  };
  const std::vector<std::string> relay_line = {program.path() + "Relayer.exe", service.address(),
                                               program.path() + "data", "dhl_15_2.txt"};
  const auto relay = [&] {
    const ProcessResult run =
        RunProcess(Utf8ToUtf16(relay_line[0]),
                   {Utf8ToUtf16(relay_line[1]), Utf8ToUtf16(relay_line[2]), u"dhl_15_2.txt"});
    Require(run.exit_code == 0, "the relay failed: " + run.standard_error);
  };
  const std::string plan =
      FloorPlan(folder.path(), database.connection(), statements, relay_line);
  const auto true_floor = [&] {
    const ProcessResult run = RunProcess(u"" VORLABWS_DHL_FLOOR, {Utf8ToUtf16(plan)});
    Require(run.exit_code == 0, "dhl_floor failed: " + run.standard_error);
  };

  CompareWithFloors(std::string(EngineName(engine)) + " engine", runs,
                    {"worker (job with the real relay)", worker},
                    {{"true floor (dhl_floor: the job, then _exit)", true_floor},
                     {"isql-fb running the job's statements", isql},
                     {"relay on its own", relay},
                     "tools' floor (isql-fb + relay, run by run)",
                     engine == Engine::kServer ? 0.6 : 0});
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
