// Times DHL manifest jobs of a busy day against the Firebird server on loopback: for each size, a
// fresh database of that many shipments with three labelled parcels each, the worker run on it
// (wall time, its own CPU time and peak memory, through /usr/bin/time), and side by side isql-fb
// running the same SELECT statements from a script, the floor for those statements.
//
// Usage: manifest_bench [runs [shipments...]]   (defaults: 3 runs of 1000 and 10000 shipments)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "db/firebird.h"
#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/process.h"

namespace vorlabws {
namespace {

const char kUser[] = "SYSDBA";
const char kPassword[] = "ambertide";
constexpr int kManifestId = 1;

// What a label job leaves in a parcel row: the courier's label and the worker's own, a few KB.
const std::string kLabelLine =
    "^FO40,120^A0N,32,32^FDCorso Vittorio Emanuele II 118 - 20121 Milano MI - IT^FS";

struct Measure {
  double wall_seconds = 0;
  double cpu_seconds = 0;
  double peak_megabytes = 0;
};

struct SizeResult {
  int shipments = 0;
  Measure worker;           // the best run by wall time
  Measure again;            // a run over the texts stored by the one before
  double isql_seconds = 0;  // the best run
  size_t manifest_characters = 0;
  size_t report_characters = 0;
  // Both stored texts in MB, one byte a character as they are stored.
  double TextsMegabytes() const { return (manifest_characters + report_characters) / 1048576.0; }
};

class BenchFailure : public Failure {
 public:
  using Failure::Failure;
};

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::vector<std::u16string> Wide(const std::vector<std::string>& texts) {
  std::vector<std::u16string> wide;
  for (const std::string& text : texts) wide.push_back(Utf8ToUtf16(text));
  return wide;
}

ProcessResult Run(const std::string& executable, const std::vector<std::string>& arguments,
                  const std::string& input = {}) {
  return RunProcess(Utf8ToUtf16(executable), Wide(arguments), {}, input, std::chrono::hours(1));
}

void Require(const ProcessResult& run, const std::string& what) {
  if (run.exit_code != 0 || run.timed_out) {
    throw BenchFailure(what + " failed (exit " + std::to_string(run.exit_code) +
                       "): " + run.standard_output + run.standard_error);
  }
}

// The database laid out by isql-fb: job tables, one DHL manifest of `shipments` shipments.
void CreateDatabase(const std::string& connection, int shipments) {
  std::string label;
  for (int line = 0; line < 15; ++line) label += kLabelLine + "\r\n";
  std::ostringstream script;
  script << "SET NAMES WIN1252;\n"
         << "CREATE DATABASE '" << connection << "' USER '" << kUser << "' PASSWORD '" << kPassword
         << "' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;\n"
         << ReadFileBytes(Utf8ToUtf16(VORLABWS_SOURCE_DIR "/tools/schema/job_tables.sql"))
         << "COMMIT;\nSET TERM ^;\n"
         << "EXECUTE BLOCK AS\n"
            "  DECLARE I INTEGER = 1;\n"
            "  DECLARE R INTEGER;\n"
            "BEGIN\n"
            "  INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES ("
         << kManifestId << ", 'DHL');\n"
         << "  WHILE (I <= " << shipments << ") DO BEGIN\n"
         << R"sql(
    INSERT INTO VORLABT (ID, TRASPORTATORE, MITT_RAGSOC, MITT_VIA, MITT_NRCIVICO, MITT_CAP,
      MITT_CITTA, MITT_PROVINCIA, MITT_NAZIONE, MITT_TELEFONO, MITT_OPERATORE, MITT_FATTURAZIONE,
      MITT_SPEDIZIONE, DEST_RAGSOC, DEST_VIA, DEST_NRCIVICO, DEST_CAP, DEST_CITTA, DEST_PROVINCIA,
      DEST_NAZIONE, DEST_FILIALE, NUMERO_SPEDIZIONE, DESCRIZIONE_SPEDIZIONE, TOTALE_SEGNA_COLLI,
      PESO_TOT, VOLUME_TOT, VALORE_SPEDIZIONE, RESA, ANNO, MESE, GIORNO, CODICE_PRODOTTO,
      ZONA_SEGNACOLLO, PRODOTTO, NETWORK)
      VALUES (:I, 'DHL', 'Vorlab S.r.l.', 'Via dell''Industria', '12/B', '40128', 'Bologna', 'BO',
      'IT', '051 6543210', 'Marta Rossi', '961234567', 'ORD-2024-' || :I,
      'Cliente ' || :I || ' S.p.A.', 'Corso Vittorio Emanuele II', MOD(:I, 200) + 1, '20121',
      'Milano', 'MI', 'IT', 'MIL', 1000000000 + :I, 'Ricambi meccanici', 3, 12.5 + MOD(:I, 50),
      0.25, 150, 'DAP', 2024, '11', '28', 'N', 'MIL', 'EXPRESS DOMESTIC', 'DHL');
    INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (1, :I);
    R = 1;
    WHILE (R <= 3) DO BEGIN
      INSERT INTO VORLABR (TESTATA, RIGA, ESITO, NUMERO_SEGNA_COLLO, NUMERO_SEGNA_COLLO_DI,
        CODICECARTONE, PESO, VOLUME, DESCRIZIONE_COLLO, REPORT_ETICHETTA, REPORT_CUSTOM)
        VALUES (:I, :R, '000 - Completato', 'JD0146000038' || (:I * 10 + :R), :R, 'CART-' || :R,
        4.5, 0.08, 'Collo ' || :R || ' di 3', ')sql"
         << label << label << "' || :I, '" << label << "' || :R);\n"
         << R"sql(      R = R + 1;
    END
    I = I + 1;
  END
END^
SET TERM ;^
COMMIT;
)sql";
  Require(Run("/usr/bin/isql-fb", {"-q", "-bail"}, script.str()), "Creating " + connection);
}

// The statements the manifest job selects, one after the other, as an isql-fb script.
std::string SelectScript(int shipments) {
  std::string script =
      "SELECT * FROM MANIFESTT T INNER JOIN MANIFESTR R ON T.ID=R.TESTATA "
      "WHERE T.ID=" +
      std::to_string(kManifestId) + ";\n";
  for (int i = 1; i <= shipments; ++i) {
    const std::string id = std::to_string(i);
    script += "SELECT * FROM VORLABT WHERE ID=" + id + ";\n";
    script += "SELECT * FROM VORLABR WHERE TESTATA=" + id + " ORDER BY RIGA;\n";
  }
  return script;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeIsql(const std::string& connection, const std::string& script_path) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult run = Run("/usr/bin/isql-fb", {"-q", "-u", kUser, "-p", kPassword, "-i",
                                                     script_path, "-o", "/dev/null", connection});
  const double seconds = SecondsSince(start);
  Require(run, "isql-fb on " + connection);
  return seconds;
}

Measure TimeWorker(const std::string& connection, const std::string& times_path) {
  const auto start = std::chrono::steady_clock::now();
  const ProcessResult run =
      Run("/usr/bin/time", {"-f", "%U %S %M", "-o", times_path, VORLABWS_BIN_DIR "/VorlabWS",
                            connection, std::to_string(kManifestId), "0", "MANIFEST"});
  Measure measure;
  measure.wall_seconds = SecondsSince(start);
  Require(run, "The worker on " + connection);
  std::istringstream times(ReadFileBytes(Utf8ToUtf16(times_path)));
  double user = 0, system = 0, kilobytes = 0;
  times >> user >> system >> kilobytes;
  measure.cpu_seconds = user + system;
  measure.peak_megabytes = kilobytes / 1024;
  return measure;
}

// One statement on the job database, committed; `read` names a column of its one row to return.
class Session {
 public:
  explicit Session(const std::string& connection) {
    database_.DatabaseName = Utf8ToUtf16(connection);
    database_.Params = {u"user_name=SYSDBA", u"password=ambertide"};
  }
  ~Session() {
    query_.Close();
    transaction_.Rollback();
  }
  std::u16string Read(const std::u16string& select, const std::u16string& column) {
    query_.SQL.Add(select);
    query_.Open();
    return query_.FieldByName(column).AsString();
  }
  void Execute(const std::u16string& statement) {
    query_.SQL.Add(statement);
    query_.ExecSQL();
    transaction_.CommitRetaining();
  }

 private:
  IBDatabase database_;
  IBTransaction transaction_{database_};
  IBQuery query_{database_, transaction_};
};

// Back to the state of a day not yet handed over: no texts stored, which the joined rows of the
// manifest's SELECT would otherwise carry along.
void ClearStoredTexts(const std::string& connection) {
  Session(connection)
      .Execute(u"UPDATE MANIFESTT SET MANIFEST=NULL, COURIERREPORT=NULL, ESITO=NULL WHERE ID=1");
}

// The stored outcome, read back to make sure the timed run did the job, and the length of `text`.
size_t StoredLength(const std::string& connection, const std::u16string& text) {
  const std::u16string esito =
      Session(connection).Read(u"SELECT ESITO FROM MANIFESTT WHERE ID=1", u"ESITO");
  if (esito != u"000 - Completato") throw BenchFailure("ESITO is " + Utf16ToUtf8(esito));
  return std::stoul(Utf16ToUtf8(Session(connection).Read(
      u"SELECT CHAR_LENGTH(" + text + u") AS LENGTH FROM MANIFESTT WHERE ID=1", u"LENGTH")));
}

SizeResult MeasureSize(const std::filesystem::path& folder, int shipments, int runs) {
  const std::string name = "manifest_" + std::to_string(shipments);
  const std::string connection = "localhost:" + (folder / (name + ".fdb")).string();
  const std::string script_path = (folder / (name + ".sql")).string();
  const std::string times_path = (folder / (name + ".time")).string();
  std::printf("%d shipments: laying out the database\n", shipments);
  std::fflush(stdout);
  CreateDatabase(connection, shipments);
  WriteFileBytes(Utf8ToUtf16(script_path), SelectScript(shipments));

  SizeResult result;
  result.shipments = shipments;
  result.worker.wall_seconds = 1e9;
  result.isql_seconds = 1e9;
  for (int run = 1; run <= runs; ++run) {
    ClearStoredTexts(connection);
    const double isql = TimeIsql(connection, script_path);
    const Measure worker = TimeWorker(connection, times_path);
    std::printf("  run %d: worker %s s (cpu %s s, peak %s MB), isql-fb %s s\n", run,
                Fixed(worker.wall_seconds, 3).c_str(), Fixed(worker.cpu_seconds, 2).c_str(),
                Fixed(worker.peak_megabytes, 1).c_str(), Fixed(isql, 3).c_str());
    std::fflush(stdout);
    result.isql_seconds = std::min(result.isql_seconds, isql);
    if (worker.wall_seconds < result.worker.wall_seconds) result.worker = worker;
  }
  // Run again over the texts just stored, as when the host repeats the day's manifest.
  result.again = TimeWorker(connection, times_path);
  std::printf("  again over the stored texts: worker %s s (cpu %s s, peak %s MB)\n",
              Fixed(result.again.wall_seconds, 3).c_str(),
              Fixed(result.again.cpu_seconds, 2).c_str(),
              Fixed(result.again.peak_megabytes, 1).c_str());
  result.manifest_characters = StoredLength(connection, u"MANIFEST");
  result.report_characters = StoredLength(connection, u"COURIERREPORT");
  const size_t expected = 88 + static_cast<size_t>(shipments) * (851 + 3 * 208);
  if (result.manifest_characters != expected) {
    throw BenchFailure("stored manifest of " + std::to_string(result.manifest_characters) +
                       " characters, expected " + std::to_string(expected));
  }
  return result;
}

void PrintTable(const std::vector<SizeResult>& results) {
  std::printf("\n%10s %12s %9s %10s %8s %8s %10s %12s %11s %10s\n", "shipments", "manifest KB",
              "texts MB", "worker s", "cpu s", "peak MB", "isql-fb s", "worker/isql", "peak/texts",
              "again s");
  for (const SizeResult& r : results) {
    std::printf("%10d %12s %9s %10s %8s %8s %10s %12s %11s %10s\n", r.shipments,
                Fixed(r.manifest_characters / 1024.0, 0).c_str(),
                Fixed(r.TextsMegabytes(), 1).c_str(), Fixed(r.worker.wall_seconds, 3).c_str(),
                Fixed(r.worker.cpu_seconds, 2).c_str(), Fixed(r.worker.peak_megabytes, 1).c_str(),
                Fixed(r.isql_seconds, 3).c_str(),
                Fixed(r.worker.wall_seconds / r.isql_seconds, 2).c_str(),
                Fixed(r.worker.peak_megabytes / r.TextsMegabytes(), 2).c_str(),
                Fixed(r.again.wall_seconds, 3).c_str());
  }
  for (size_t i = 1; i < results.size(); ++i) {
    std::printf(
        "wall time %d / %d shipments: %s (size ratio %s)\n", results[i].shipments,
        results[i - 1].shipments,
        Fixed(results[i].worker.wall_seconds / results[i - 1].worker.wall_seconds, 2).c_str(),
        Fixed(double(results[i].shipments) / results[i - 1].shipments, 0).c_str());
  }
  std::printf(
      "targets for 10,000 shipments: worker/isql at most 0.50, wall time 10000 / 1000 at most 11, "
      "peak/texts at most 3.00\n");
}

// A folder the server (user firebird) can write into, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("vorlabws-bench-" + std::to_string(random()));
    std::filesystem::create_directory(path_);
    std::filesystem::permissions(path_, std::filesystem::perms::all);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace
}  // namespace vorlabws

int main(int argc, char** argv) {
  using namespace vorlabws;
  const int runs = argc > 1 ? std::stoi(argv[1]) : 3;
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::stoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000};
  try {
    ScratchFolder folder;
    std::vector<SizeResult> results;
    for (const int shipments : sizes)
      results.push_back(MeasureSize(folder.path(), shipments, runs));
    PrintTable(results);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "manifest_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
