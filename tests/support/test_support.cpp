#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws::testing {
namespace {

// Test databases use the worker's own credentials and the host's code page.
const std::vector<std::u16string> kCreationLines = {
    u"USER \"SYSDBA\"", u"PASSWORD \"ambertide\"", u"PAGE_SIZE 4096",
    u"DEFAULT CHARACTER SET WIN1252"};
const std::vector<std::u16string> kAttachLines = {u"user_name=SYSDBA", u"password=ambertide"};

// One attachment for one piece of work; its transaction is rolled back (after any commit) and the
// attachment closed when it goes.
struct Session {
  IBDatabase database;
  IBTransaction transaction{database};
  IBQuery query{database, transaction};

  explicit Session(const std::string& connection) {
    database.DatabaseName = Utf8ToUtf16(connection);
    database.Params = kAttachLines;
    database.Open();
  }
  ~Session() {
    query.Close();
    transaction.Rollback();
  }
};

}  // namespace

std::string ProgramFolderOfBuild() { return VORLABWS_BIN_DIR "/"; }

std::string SourceFolder() { return VORLABWS_SOURCE_DIR "/"; }

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorlabws-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  ::chmod(pattern.c_str(), 0777);
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

const char* EngineName(Engine engine) {
  return engine == Engine::kEmbedded ? "Embedded" : "Server";
}

void PrintTo(Engine engine, std::ostream* out) { *out << EngineName(engine); }

std::string ConnectionString(Engine engine, const std::string& path) {
  return engine == Engine::kEmbedded ? path : "localhost:" + path;
}

JobDatabase::JobDatabase(Engine engine, const std::string& path)
    : connection_(ConnectionString(engine, path)) {
  {
    IBDatabase database;
    database.DatabaseName = Utf8ToUtf16(connection_);
    database.Params = kCreationLines;
    database.CreateDatabase();
  }
  ExecuteScript(JobTablesScript());
}

void JobDatabase::Execute(const std::string& statement) const {
  Session session(connection_);
  session.query.SQL.Add(Utf8ToUtf16(statement));
  session.query.ExecSQL();
  session.transaction.CommitRetaining();
}

void JobDatabase::ExecuteScript(const std::string& script) const {
  std::istringstream lines(script);
  std::string line, statement;
  while (std::getline(lines, line)) {
    if (line.rfind("--", 0) == 0) continue;
    statement += line + "\n";
    if (line.find(';') != std::string::npos) {
      Execute(statement.substr(0, statement.rfind(';')));
      statement.clear();
    }
  }
}

std::vector<std::u16string> JobDatabase::Column(const std::string& select,
                                                const std::string& column) const {
  Session session(connection_);
  session.query.SQL.Add(Utf8ToUtf16(select));
  session.query.Open();
  std::vector<std::u16string> values;
  for (; !session.query.Eof(); session.query.Next()) {
    values.push_back(session.query.FieldByName(Utf8ToUtf16(column)).AsString());
  }
  return values;
}

std::u16string JobDatabase::Value(const std::string& select, const std::string& column) const {
  const std::vector<std::u16string> values = Column(select, column);
  if (values.empty()) {
    ADD_FAILURE() << "no row for: " << select;
    return u"";
  }
  return values.front();
}

int JobDatabase::Count(const std::string& select) const {
  Session session(connection_);
  session.query.SQL.Add(Utf8ToUtf16(select));
  session.query.Open();
  while (!session.query.Eof()) session.query.Next();
  return session.query.RecordCount();
}

JobRecord::JobRecord(const JobDatabase& database, int testata, int riga) {
  database_.DatabaseName = Utf8ToUtf16(database.connection());
  database_.Params = kAttachLines;
  database_.Open();
  query_.SQL.Add(
      Utf8ToUtf16("SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA "
                  "WHERE T.ID=" +
                  std::to_string(testata) + " AND R.RIGA=" + std::to_string(riga)));
  query_.Open();
}

JobRecord::~JobRecord() {
  query_.Close();
  transaction_.Rollback();
}

std::string JobTablesScript() {
  return ReadFileBytes(Utf8ToUtf16(SourceFolder() + "tools/schema/job_tables.sql"));
}

WorkerRun RunWorker(const std::vector<std::string>& arguments, const StartOptions& options) {
  return RunWorkerAt(ProgramFolderOfBuild() + "VorlabWS", arguments, options);
}

WorkerRun RunWorkerAt(const std::string& executable, const std::vector<std::string>& arguments,
                      const StartOptions& options) {
  StartOptions worker_options = options;
  worker_options.new_session = true;
  worker_options.removed_environment.insert(worker_options.removed_environment.end(),
                                            {"DISPLAY", "WAYLAND_DISPLAY"});
  std::vector<std::u16string> wide;
  for (const std::string& argument : arguments) wide.push_back(Utf8ToUtf16(argument));
  const ProcessResult result = RunProcess(Utf8ToUtf16(executable), wide, worker_options);
  return {result.exit_code, result.standard_output, result.standard_error};
}

}  // namespace vorlabws::testing
