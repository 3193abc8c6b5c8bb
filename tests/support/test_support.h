// What the tests share: temporary folders, a fresh job database laid out with the job tables (the
// embedded engine for a plain path, the server for "localhost:" + path), and runs of the built
// worker as a child process with no one to answer its boxes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "db/firebird.h"
#include "platform/process.h"

namespace vorlabws::testing {

// The build's program folder (where VorlabWS, report/ and data/ are), with a final "/".
std::string ProgramFolderOfBuild();
// The repository's root folder, with a final "/".
std::string SourceFolder();

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Open to every user, so that the Firebird server (user firebird) can use it.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder with a final "/".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Where a test's database lives: the embedded engine opens a plain path, the server is reached on
// loopback through "localhost:" + path.
enum class Engine { kEmbedded, kServer };
const char* EngineName(Engine engine);
// Names the engine in test output.
void PrintTo(Engine engine, std::ostream* out);
// The connection string for the file at `path` reached through `engine`.
std::string ConnectionString(Engine engine, const std::string& path);

// A new database holding the empty job tables. Every call attaches, works in a transaction of its
// own and detaches again, so the worker (another process) can open the file in between.
class JobDatabase {
 public:
  JobDatabase(Engine engine, const std::string& path);

  const std::string& connection() const { return connection_; }

  // Runs one statement (UTF-8 text) and commits it.
  void Execute(const std::string& statement) const;
  // Runs every statement of a script (statements end with ";"; "--" starts a comment line).
  void ExecuteScript(const std::string& script) const;
  // The text of `column` in each row of `select`, as the worker reads it (NULL: empty text).
  std::vector<std::u16string> Column(const std::string& select, const std::string& column) const;
  // The one value of `column` in the first row of `select`; fails the test when there is no row.
  std::u16string Value(const std::string& select, const std::string& column) const;
  // The number of rows `select` yields.
  int Count(const std::string& select) const;

 private:
  std::string connection_;
};

// The job's joined record, open on its connection, read exactly as the worker reads it.
class JobRecord {
 public:
  JobRecord(const JobDatabase& database, int testata, int riga);
  ~JobRecord();
  const IBQuery& query() const { return query_; }

 private:
  IBDatabase database_;
  IBTransaction transaction_{database_};
  IBQuery query_{database_, transaction_};
};

// The job tables' layout, from tools/schema.
std::string JobTablesScript();

// A worker run: the built VorlabWS started with `arguments` in a session of its own, without a
// display, so every box takes its non-interactive form (one line on standard error).
struct WorkerRun {
  int exit_code = -1;
  std::string standard_output;
  std::string standard_error;
};
WorkerRun RunWorker(const std::vector<std::string>& arguments, const StartOptions& options = {});
// The same for a copy of the worker at `executable` (a program folder of a test's own).
WorkerRun RunWorkerAt(const std::string& executable, const std::vector<std::string>& arguments,
                      const StartOptions& options = {});

}  // namespace vorlabws::testing
