#include "tests/faults/fault_scene.h"

#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/brt/brt_job_support.h"
#include "tests/support/unprivileged_user.h"

namespace vorlabws::testing {
namespace {

constexpr int kJob = 15;
constexpr int kTwin = 16;
constexpr int kRiga = 2;
constexpr int kManifest = 7;
constexpr int kTwinManifest = 8;

// What an earlier run left in the columns a job writes.
const char kPreviousRow[] =
    "UPDATE VORLABR SET ESITO='PRECEDENTE', REPORT_ETICHETTA='etichetta precedente', "
    "REPORT_ARCHIVIO='copia precedente', REPORT_CUSTOM='etichetta propria precedente'";
const char kPreviousBrtHeader[] =
    "UPDATE VORLABT SET ZONA_SEGNACOLLO='99', PO_ARRIVO=999, PO_ARRIVO_DESCRIZIONE='PRECEDENTE', "
    "PO_PARTENZA_DESCRIZIONE='PRECEDENTE', TERMINAL_ARRIVO=998";
const char kPreviousDhlHeader[] =
    "UPDATE VORLABT SET MITT_FILIALE='PRE', MITT_NAZIONE_DESCR='PRECEDENTE', DEST_FILIALE='PRE', "
    "ZONA_SEGNACOLLO='PRE', CODICE_PRODOTTO='PRE', PRODOTTO='PRECEDENTE', SFONDO_PRODOTTO='PRE', "
    "DEST_NAZIONE_DESCR='PRECEDENTE', PO_SEGNACOLLO='PRE', PO_SEGNACOLLO_DESCR='PRECEDENTE'";

std::string Text(int number) { return std::to_string(number); }

void AddManifest(const JobDatabase& database, int manifest) {
  database.Execute(
      "INSERT INTO MANIFESTT (ID, TRASPORTATORE, ESITO, MANIFEST, COURIERREPORT) "
      "VALUES (" +
      Text(manifest) + ", 'DHL', 'PRECEDENTE', 'manifesto precedente', 'distinta precedente')");
  database.Execute("INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (" + Text(manifest) +
                   ", " + Text(kJob) + ")");
}

std::u16string TrimmedRight(std::u16string text) {
  while (!text.empty() && text.back() == u' ') text.pop_back();
  return text;
}

// One row of `table` read as the worker reads columns; empty when the table or the row is missing.
Record ReadRecord(const JobDatabase& database, const std::string& table, const std::string& where) {
  IBDatabase connection;
  connection.DatabaseName = Utf8ToUtf16(database.connection());
  connection.Params = {u"user_name=SYSDBA", u"password=ambertide"};
  IBTransaction transaction(connection);
  IBQuery names(connection, transaction);
  names.SQL.Add(Utf8ToUtf16(
      "SELECT RDB$FIELD_NAME AS NAME FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME='" + table +
      "'"));
  names.Open();
  std::vector<std::u16string> columns;
  for (; !names.Eof(); names.Next()) {
    columns.push_back(TrimmedRight(names.FieldByName(u"NAME").AsString()));
  }
  Record record;
  if (!columns.empty()) {
    IBQuery row(connection, transaction);
    row.SQL.Add(Utf8ToUtf16("SELECT * FROM " + table + " WHERE " + where));
    row.Open();
    if (!row.Eof()) {
      for (const std::u16string& column : columns) {
        record[Utf16ToUtf8(column)] = row.FieldByName(column).AsString();
      }
    }
    row.Close();
  }
  names.Close();
  transaction.Rollback();
  return record;
}

JobRows LabelJobRows(const JobDatabase& database, int testata) {
  return {ReadRecord(database, "VORLABT", "ID=" + Text(testata)),
          ReadRecord(database, "VORLABR", "TESTATA=" + Text(testata) + " AND RIGA=" + Text(kRiga))};
}

JobRows ManifestRows(const JobDatabase& database, int manifest) {
  return {ReadRecord(database, "MANIFESTT", "ID=" + Text(manifest)),
          ReadRecord(database, "VORLABR", "TESTATA=" + Text(kJob) + " AND RIGA=" + Text(kRiga))};
}

}  // namespace

const char* JobName(Job job) {
  switch (job) {
    case Job::kBrtLabel:
      return "BRT label";
    case Job::kDhlLabel:
      return "DHL label";
    case Job::kDhlManifest:
      return "DHL manifest";
  }
  return "?";
}

Record Results(Record record) {
  for (const char* column : {"ID", "TESTATA", "ESITO"}) record.erase(column);
  return record;
}

FaultScene::FaultScene(Job job)
    : job_(job),
      program_(folder_.path() + "program/"),
      database_file_(folder_.path() + "archivio.fdb"),
      database_(Engine::kServer, database_file_),
      database_argument_(database_.connection()),
      brt_service_(std::make_unique<standin::StandInService>()) {
  program_.InstallRealRelay();
  program_.WriteFile("report/BRT.prn",
                     ReadFileBytes(Utf8ToUtf16(ProgramFolderOfBuild() + "report/BRT.prn")));
  // The worker runs as a user without privileges, who writes requests, replies and errore.txt.
  for (const char* folder : {"", "data", "data/out"}) {
    ::chmod((program_.path() + folder).c_str(), 0777);
  }
  environment_ = {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(brt_service_->WsdlUrl())},
                  {"VORLABWS_DHL_URL", dhl_service_.address()}};

  for (const int testata : {kJob, kTwin}) {
    if (job == Job::kBrtLabel) {
      AddBrtJob(database_, testata, kRiga);
    } else if (testata == kJob || job == Job::kDhlLabel) {
      AddDhlJob(database_, testata, kRiga);
    }
  }
  database_.Execute(kPreviousRow);
  database_.Execute(job == Job::kBrtLabel ? kPreviousBrtHeader : kPreviousDhlHeader);
  if (job == Job::kDhlManifest) {
    AddManifest(database_, kManifest);
    AddManifest(database_, kTwinManifest);
  }
}

FaultRun FaultScene::RunTwin() const {
  return Run(Text(job_ == Job::kDhlManifest ? kTwinManifest : kTwin));
}

FaultRun FaultScene::RunJob() {
  std::vector<std::pair<std::string, unsigned>> kept;
  for (const auto& [path, mode] : permissions_) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) throw std::runtime_error("no such file: " + path);
    kept.emplace_back(path, status.st_mode & 07777);
    ::chmod(path.c_str(), mode);
  }
  const FaultRun run = Run(Text(job_ == Job::kDhlManifest ? kManifest : kJob));
  for (auto change = kept.rbegin(); change != kept.rend(); ++change) {
    ::chmod(change->first.c_str(), change->second);
  }
  return run;
}

FaultRun FaultScene::Run(const std::string& testata) const {
  std::vector<std::string> command = {program_.path() + "VorlabWS", database_argument_, testata,
                                      Text(kRiga)};
  if (job_ == Job::kDhlManifest) command.push_back("MANIFEST");
  command = AsUnprivilegedUser(command);
  StartOptions options;
  options.new_session = true;  // no terminal and no display: every box is a line on stderr
  options.removed_environment = {"DISPLAY", "WAYLAND_DISPLAY"};
  options.environment.assign(environment_.begin(), environment_.end());
  std::vector<std::u16string> arguments;
  for (size_t i = 1; i < command.size(); ++i) arguments.push_back(Utf8ToUtf16(command[i]));
  const auto started = std::chrono::steady_clock::now();
  const ProcessResult result =
      RunProcess(Utf8ToUtf16(command.front()), arguments, options, "", std::chrono::minutes(3));
  return {result.exit_code, result.standard_output, result.standard_error,
          std::chrono::steady_clock::now() - started};
}

JobRows FaultScene::JobRowsNow() const {
  return job_ == Job::kDhlManifest ? ManifestRows(database_, kManifest)
                                   : LabelJobRows(database_, kJob);
}

JobRows FaultScene::TwinRowsNow() const {
  return job_ == Job::kDhlManifest ? ManifestRows(database_, kTwinManifest)
                                   : LabelJobRows(database_, kTwin);
}

std::optional<std::u16string> FaultScene::Esito(const JobRows& rows) const {
  const Record& record = job_ == Job::kDhlManifest ? rows.header : rows.row;
  const auto found = record.find("ESITO");
  if (found == record.end()) return std::nullopt;
  return found->second;
}

std::string FaultScene::Errore() const {
  return program_.Exists("errore.txt") ? program_.ReadFile("errore.txt") : "";
}

void FaultScene::SetEnvironment(const std::string& name, const std::string& value) {
  environment_[name] = value;
}

void FaultScene::UseBrtService(const std::vector<std::string>& options) {
  brt_service_ = std::make_unique<standin::StandInService>(options);
  SetEnvironment("VORLABWS_BRT_WSDL", Utf16ToUtf8(brt_service_->WsdlUrl()));
}

void FaultScene::UseUnreachableBrtService() {
  SetEnvironment("VORLABWS_BRT_WSDL",
                 "http://127.0.0.1:" + Text(ClosedPortNumber()) + "/easyspeddews?wsdl");
}

void FaultScene::UseRelayScript(const std::string& lines) {
  // The relay is a link to the build's own: it goes before a script takes its name.
  std::filesystem::remove(program_.path() + "Relayer.exe");
  program_.InstallRelayScript(lines);
  ::chmod((program_.path() + "Relayer.exe").c_str(), 0755);
}

void FaultScene::RemoveFile(const std::string& relative) {
  std::filesystem::remove(program_.path() + relative);
}

void FaultScene::SetPermissions(const std::string& path, unsigned mode) {
  permissions_.emplace_back(path, mode);
}

int FaultScene::ClosedPortNumber() {
  closed_ports_.push_back(std::make_unique<ClosedPort>());
  return closed_ports_.back()->port();
}

}  // namespace vorlabws::testing
