// Times one BRT label job end to end (the built worker against the stand-in service on loopback)
// beside its floors: the true floor, brt_floor running the job's statements on the raw client API
// and its three HTTP exchanges on one kept-alive curl handle, ending at once; and the tools'
// floor, isql-fb running the job's own statements on the same database plus one curl making the
// three exchanges (the service description and the two envelopes) against the stand-in. Wall and
// CPU time (the process and what it waited for), median of the runs, interleaved, on the Firebird
// server and on the embedded engine.
//
// Usage: brt_job_bench [runs]   (default 20)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/support/floor_plan_writer.h"
#include "bench/support/job_timing.h"
#include "couriers/brt/brt_job_updates.h"
#include "couriers/brt/brt_label_request.h"
#include "couriers/brt/brt_routing_request.h"
#include "couriers/brt/easyspeddews_calls.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/text.h"
#include "tests/brt/brt_job_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

using bench::CompareWithFloors;

const std::u16string kSelect =
    u"SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 AND R.RIGA=1";

const std::u16string kEsitoUpdate =
    u"UPDATE VORLABR SET ESITO='000 - Completato' WHERE TESTATA=15 AND RIGA=1";

void Require(bool condition, const std::string& what) {
  if (!condition) {
    std::fprintf(stderr, "brt_job_bench: %s\n", what.c_str());
    std::exit(1);
  }
}

// What the job sends and stores, taken from the job row, the stand-in's answers and a run of the
// worker: the two envelopes and the statements.
struct JobTraffic {
  std::string routing_envelope;
  std::string label_envelope;
  SqlText header_update;
  SqlText row_update;
};

JobTraffic TrafficOfTheJob(const JobDatabase& database, const standin::StandInService& service) {
  const JobRecord row(database, 15, 1);
  const RoutingJob job = ReadRoutingJob(row.query());
  const std::shared_ptr<EasySpedDEWS> proxy = GetEasySpedDEWS(true, service.WsdlUrl());
  const std::unique_ptr<DestinationAddressOut2> reply = proxy->CalculateBRTSort(job.Request);
  Require(reply != nullptr && reply->POArrivo() != 0, "the stand-in did not route the job");
  const ArrayOfLabelToPrint labels =
      LabelRequest(job.Request, *reply, job.mitt_spedizione,
                   LabelType(row.query().FieldByName(u"TIPO_ETICHETTA").AsInteger()));

  JobTraffic traffic;
  const std::u16string ns(easysped::kServiceNamespace);
  traffic.routing_envelope = WriteRequestEnvelope(CalculateBRTSortCall(job.Request), ns);
  traffic.label_envelope = WriteRequestEnvelope(GetLabelForZebraPrinterCall(labels, 110, 0), ns);
  IBDatabase unattached;
  IBTransaction transaction(unattached);
  IBQuery query(unattached, transaction);
  LoadBrtHeaderUpdate(query, *reply, u"15");
  traffic.header_update = query.SQL;
  const std::string stored = "SELECT * FROM VORLABR WHERE TESTATA=15 AND RIGA=1";
  LoadBrtRowUpdate(query, database.Value(stored, "REPORT_ETICHETTA"),
                   database.Value(stored, "REPORT_CUSTOM"), u"15", u"1");
  traffic.row_update = query.SQL;
  return traffic;
}

// The job's statements as isql-fb reads them, in Windows-1252: the job SELECT, the header UPDATE,
// the row UPDATE with both labels, the ESITO UPDATE, each UPDATE committed.
std::string JobScript(const std::string& connection, const JobTraffic& traffic) {
  const std::u16string script =
      u"SET NAMES WIN1252;\nCONNECT '" + Utf8ToUtf16(connection) +
      u"' USER 'SYSDBA' PASSWORD 'ambertide';\nSET HEADING OFF;\n" + kSelect + u";\n" +
      traffic.header_update.Text() + u";\nCOMMIT;\n" + traffic.row_update.Text() +
      u";\nCOMMIT;\n" + kEsitoUpdate + u";\nCOMMIT;\n";
  return Utf16ToCp1252(script);
}

std::u16string Action(const easysped::Operation& operation) {
  return u"SOAPAction: \"" +
         ReplaceAll(easysped::kSoapActionPattern, easysped::kOperationNamePlaceholder,
                    operation.name) +
         u"\"";
}

// One curl, one connection kept alive: GET of the service description, then the two POSTs.
std::vector<std::u16string> CurlArguments(const standin::StandInService& service,
                                          const std::string& folder) {
  const std::u16string content_type = u"Content-Type: text/xml; charset=\"utf-8\"";
  const auto post = [&](const easysped::Operation& operation, const char* file) {
    return std::vector<std::u16string>{u"--next",
                                       u"-sSf",
                                       u"-o",
                                       u"/dev/null",
                                       u"-H",
                                       content_type,
                                       u"-H",
                                       Action(operation),
                                       u"--data-binary",
                                       u"@" + Utf8ToUtf16(folder + file),
                                       service.Url()};
  };
  std::vector<std::u16string> arguments = {u"-sSf", u"-o", u"/dev/null", service.WsdlUrl()};
  for (const auto& part : {post(easysped::kCalculateBRTSort, "routing.xml"),
                           post(easysped::kGetLabelForZebraPrinter, "label.xml")}) {
    arguments.insert(arguments.end(), part.begin(), part.end());
  }
  return arguments;
}

// The job in the worker's order for brt_floor: the SELECT, the service description and the two
// envelopes, the header UPDATE, the row UPDATE with both labels as blobs, the ESITO UPDATE.
std::string FloorPlan(const std::string& folder, const std::string& connection,
                      const JobTraffic& traffic, const standin::StandInService& service) {
  bench::FloorPlanWriter plan(folder);
  const auto statement = [&](const std::u16string& text) {
    SqlText sql;
    sql.Add(text);
    return sql;
  };
  plan.Step("attach", {connection});
  plan.Statement("select", statement(kSelect));
  plan.Step("get", {Utf16ToUtf8(service.WsdlUrl())});
  const std::string content_type = "Content-Type: text/xml; charset=\"utf-8\"";
  plan.Step("post", {Utf16ToUtf8(service.Url()), plan.File(traffic.routing_envelope), content_type,
                     Utf16ToUtf8(Action(easysped::kCalculateBRTSort))});
  plan.Step("post", {Utf16ToUtf8(service.Url()), plan.File(traffic.label_envelope), content_type,
                     Utf16ToUtf8(Action(easysped::kGetLabelForZebraPrinter))});
  plan.Statement("update", traffic.header_update);
  plan.Statement("update", traffic.row_update);
  plan.Statement("update", statement(kEsitoUpdate));
  return plan.Write();
}

void BenchEngine(Engine engine, int runs) {
  TempFolder folder;
  JobDatabase database(engine, folder.path() + "archivio.fdb");
  AddBrtJob(database, 15, 1);
  const standin::StandInService service;
  const auto worker = [&] {
    const WorkerRun run = RunBrtWorker({database.connection(), "15", "1"}, service.WsdlUrl());
    Require(run.exit_code == 0,
            "the worker ended with " + std::to_string(run.exit_code) + ": " + run.standard_output);
  };
  worker();  // warms the caches and stores the labels the floor's row UPDATE writes again

  const JobTraffic traffic = TrafficOfTheJob(database, service);
  WriteFileBytes(Utf8ToUtf16(folder.path() + "routing.xml"), traffic.routing_envelope);
  WriteFileBytes(Utf8ToUtf16(folder.path() + "label.xml"), traffic.label_envelope);
  const std::string script = JobScript(database.connection(), traffic);
  const std::vector<std::u16string> curl_arguments = CurlArguments(service, folder.path());
  const auto isql = [&] {
    const ProcessResult run = RunProcess(u"/usr/bin/isql-fb", {u"-q", u"-bail"}, {}, script);
    Require(run.exit_code == 0, "isql-fb failed: " + run.standard_output + run.standard_error);
  };
  const std::string plan = FloorPlan(folder.path(), database.connection(), traffic, service);
  const auto true_floor = [&] {
    const ProcessResult run = RunProcess(u"" VORLABWS_BRT_FLOOR, {Utf8ToUtf16(plan)});
    Require(run.exit_code == 0, "brt_floor failed: " + run.standard_error);
  };
  const auto curl = [&] {
    const ProcessResult run = RunProcess(u"/usr/bin/curl", curl_arguments);
    Require(run.exit_code == 0, "curl failed: " + run.standard_error);
  };

  CompareWithFloors(std::string(EngineName(engine)) + " engine", runs,
                    {"worker (the whole BRT job)", worker},
                    {{"true floor (brt_floor: the job, then _exit)", true_floor},
                     {"isql-fb running the job's statements", isql},
                     {"curl making the job's three exchanges", curl},
                     "tools' floor (isql-fb + curl, run by run)",
                     engine == Engine::kServer ? 0.6 : 0});
}

}  // namespace
}  // namespace vorlabws::testing

int main(int argc, char** argv) {
  using namespace vorlabws::testing;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  BenchEngine(Engine::kServer, runs);
  BenchEngine(Engine::kEmbedded, runs);
  return 0;
}
