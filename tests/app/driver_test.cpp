// The worker as the host starts it: command line, exit codes, standard output, the outcome stored
// in ESITO, against a real database through the embedded engine and through the server.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {
namespace {

const std::string kUsage =
    "Errore nell'invocazione, utilizzare:\r\nVorlabWS.exe database testata riga [operazione]\r\n";

TEST(DriverUsageTest, FewerThanThreeArgumentsPrintTheUsage) {
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
  };
  const Row rows[] = {
      {"none", {}},
      {"one", {"/nowhere/archivio.fdb"}},
      {"two", {"/nowhere/archivio.fdb", "15"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const WorkerRun run = RunWorker(row.arguments);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.standard_output, kUsage);
    EXPECT_EQ(run.standard_error, "");
  }
}

class DriverTest : public ::testing::TestWithParam<Engine> {
 protected:
  DriverTest() : database_(GetParam(), folder_.path() + "archivio.fdb") {}

  // A header and one parcel row of a label job with the given courier.
  void AddLabelJob(int testata, int riga, const std::string& courier) {
    database_.Execute("INSERT INTO VORLABT (ID, TRASPORTATORE) VALUES (" + std::to_string(testata) +
                      ", '" + courier + "')");
    database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (" + std::to_string(testata) +
                      ", " + std::to_string(riga) + ")");
  }
  std::u16string Esito(int testata, int riga) {
    return database_.Value("SELECT ESITO FROM VORLABR WHERE TESTATA=" + std::to_string(testata) +
                               " AND RIGA=" + std::to_string(riga),
                           "ESITO");
  }
  WorkerRun Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), database_.connection());
    return RunWorker(arguments);
  }

  TempFolder folder_;
  JobDatabase database_;
};

TEST_P(DriverTest, LabelJobOutcomes) {
  AddLabelJob(15, 2, "UPS");
  AddLabelJob(16, 1, "brt");
  AddLabelJob(17, 1, "");
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    int exit_code;
    int testata;
    int riga;
    std::u16string esito;
  };
  const Row rows[] = {
      {"another courier, operation by default", {"15", "2"}, 3, 15, 2,
       u"003 - Trasportatore non valido"},
      {"courier in lower case, operation given", {"16", "1", "ETICHETTA"}, 3, 16, 1,
       u"003 - Trasportatore non valido"},
      {"empty courier, a fifth argument ignored", {"17", "1", "ETICHETTA", "extra"}, 3, 17, 1,
       u"003 - Trasportatore non valido"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const WorkerRun run = Run(row.arguments);
    EXPECT_EQ(run.exit_code, row.exit_code);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(Esito(row.testata, row.riga), row.esito);
  }
}

TEST_P(DriverTest, JobNotFoundLeavesEsitoUntouched) {
  AddLabelJob(15, 2, "UPS");
  database_.Execute("UPDATE VORLABR SET ESITO='before' WHERE TESTATA=15");
  const WorkerRun run = Run({"15", "3"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(Esito(15, 2), u"before");
}

TEST_P(DriverTest, UnknownOperationRunsNothing) {
  AddLabelJob(15, 2, "UPS");
  for (const char* operation : {"etichetta", "Manifest", "STAMPA"}) {
    SCOPED_TRACE(operation);
    const WorkerRun run = Run({"15", "2", operation});
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(Esito(15, 2), u"");
  }
}

TEST_P(DriverTest, UnknownOperationDoesNotTouchTheDatabase) {
  const std::string missing = folder_.path() + "missing.fdb";
  const WorkerRun run = RunWorker({ConnectionString(GetParam(), missing), "1", "1", "stampa"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_error, "");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_P(DriverTest, ManifestJobOutcomes) {
  database_.Execute("INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES (7, 'BRT')");
  database_.Execute("INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (7, 15)");
  database_.Execute("INSERT INTO MANIFESTT (ID, TRASPORTATORE, ESITO) VALUES (8, 'DHL', 'x')");

  const WorkerRun brt = Run({"7", "0", "MANIFEST"});
  EXPECT_EQ(brt.exit_code, 3);
  EXPECT_EQ(database_.Value("SELECT ESITO FROM MANIFESTT WHERE ID=7", "ESITO"),
            u"003 - Trasportatore non valido");

  const WorkerRun without_entries = Run({"8", "not used", "MANIFEST"});
  EXPECT_EQ(without_entries.exit_code, 3);
  EXPECT_EQ(without_entries.standard_output, "");
  EXPECT_EQ(database_.Value("SELECT ESITO FROM MANIFESTT WHERE ID=8", "ESITO"), u"x");
}

TEST_P(DriverTest, IdentifierThatIsNotANumberEndsOnTheFailureLine) {
  AddLabelJob(15, 2, "UPS");
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string line;
  };
  const Row rows[] = {
      {"testata", {"15 OR 1=1", "2"},
       "vorlabws::IdentifierError: testata '15 OR 1=1' is not a decimal integer\r\n"},
      {"riga", {"15", "2;"}, "vorlabws::IdentifierError: riga '2;' is not a decimal integer\r\n"},
      {"empty testata of a manifest", {"", "2", "MANIFEST"},
       "vorlabws::IdentifierError: testata '' is not a decimal integer\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const WorkerRun run = Run(row.arguments);
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.standard_output, row.line);
    EXPECT_EQ(Esito(15, 2), u"");
  }
}

TEST_P(DriverTest, FailedOutcomeStoreShowsTheBoxAndExitsByOutcome) {
  AddLabelJob(15, 2, "UPS");
  database_.Execute("ALTER TABLE VORLABR DROP ESITO");
  database_.Execute("ALTER TABLE VORLABR ADD ESITO VARCHAR(10)");
  const WorkerRun run = Run({"15", "2"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_TRUE(run.standard_error.starts_with(
      "Impossibile aggiornare l'esito dell'elaborazione. arithmetic exception, numeric overflow, "
      "or string truncation; string right truncation"))
      << run.standard_error;
  EXPECT_EQ(Esito(15, 2), u"");
}

TEST_P(DriverTest, MissingDatabaseIsCreatedInPlaceThenTheSelectFails) {
  // The server (user firebird) creates the file too: the folder is open to every user.
  std::filesystem::create_directory(folder_.path() + "Sant'Anna");
  std::filesystem::permissions(folder_.path() + "Sant'Anna", std::filesystem::perms::all);
  for (const std::string name : {"nuovo.fdb", "Sant'Anna/archivio.fdb"}) {
    SCOPED_TRACE(name);
    const std::string created = folder_.path() + name;
    const WorkerRun run = RunWorker({ConnectionString(GetParam(), created), "15", "2"});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.standard_error, "Effettuata creazione data base\n");
    EXPECT_TRUE(
        run.standard_output.starts_with("vorlabws::DatabaseError: Dynamic SQL Error; SQL "
                                        "error code = -204; Table unknown; VORLABT"))
        << run.standard_output;
    EXPECT_TRUE(std::filesystem::exists(created));
  }
}

TEST_P(DriverTest, DatabaseThatCannotBeCreatedEndsOnTheRetriedAttach) {
  const std::string unreachable = folder_.path() + "no/such/folder/archivio.fdb";
  const WorkerRun run = RunWorker({ConnectionString(GetParam(), unreachable), "15", "2"});
  EXPECT_EQ(run.exit_code, 2);
  // No one can answer the server prompt: it closes unconfirmed and the locator gives up.
  EXPECT_EQ(run.standard_error,
            "Non trovato dati.ini\n"
            "Non trovato dati.ini: Inserire il nome del computer e la lettera della sua "
            "unit\xC3\xA0 disco dove risulta ospitato (o sar\xC3\xA0 ospitato) il database\n"
            "Apertura / creazione del database non riuscita!\n"
            "Errore apertura archivio\n");
  EXPECT_TRUE(run.standard_output.starts_with("vorlabws::DatabaseError: ")) << run.standard_output;
  EXPECT_NE(run.standard_output.find("no/such/folder/archivio.fdb"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Engines, DriverTest,
                         ::testing::Values(Engine::kEmbedded, Engine::kServer),
                         [](const auto& info) { return EngineName(info.param); });

}  // namespace
}  // namespace vorlabws::testing
