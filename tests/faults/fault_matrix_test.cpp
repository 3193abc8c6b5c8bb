// The fault matrix: each fault an installation can meet, one row each, with the outcome the host
// is told (exit code, the line on standard output, the boxes' lines on standard error, ESITO) and
// what the job's rows hold afterwards: each row either the complete result (as the twin job, run
// without the fault, shows it) or its previous content, never a part of the result.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/code_page.h"
#include "platform/text.h"
#include "tests/faults/fault_scene.h"

namespace vorlabws::testing {
namespace {

// A text compared whole, or by its start where the rest comes from Firebird or libxml2. Both may
// hold "<program>" and "<database>", replaced by the scene's program folder and database file.
struct Expected {
  std::string text;
  bool whole = true;
};
Expected Whole(std::string text) { return {std::move(text), true}; }
Expected StartingWith(std::string text) { return {std::move(text), false}; }

enum class Written { kPrevious, kComplete };

// A fault and its outcome. Unless a row says otherwise: nothing on standard output or standard
// error, ESITO not written, both rows holding their previous content, no errore.txt.
struct Fault {
  const char* name;
  Job job;
  std::function<void(FaultScene&)> make;
  int exit_code;
  Expected standard_output = Whole("");
  Expected standard_error = Whole("");
  // As stored; none: not written, the previous text stays.
  std::optional<std::u16string> esito = std::nullopt;
  Written header = Written::kPrevious;
  Written row = Written::kPrevious;
  Expected errore = Whole("");  // errore.txt beside the worker; empty: none
};
void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

// Every time limit in play is cut to seconds by its fault; the defaults (60 s for the BRT service,
// 180 s for the relay) would show as runs this long.
constexpr auto kLongestRun = std::chrono::seconds(30);

// The boxes of a job whose database cannot be opened, each as its one line on standard error.
const std::string kNoDatabase =
    "Non trovato dati.ini\n"
    "Non trovato dati.ini: Inserire il nome del computer e la lettera della sua unit\xC3\xA0 disco "
    "dove risulta ospitato (o sar\xC3\xA0 ospitato) il database\n"
    "Apertura / creazione del database non riuscita!\n"
    "Errore apertura archivio\n";
const std::string kLabelSelect =
    "SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 AND R.RIGA=2";
const std::u16string kBrtCommunication = u"002 - Errore di comunicazione con il webservice BRT";
const std::u16string kRelayFailed = u"002 - Errore nell\u00B4accesso ai webservice";
const std::string kNoReply =
    "vorlabws::FileError: Cannot open <program>data/out/dhl_15_2.txt: No such file or "
    "directory\r\n";

void Sql(FaultScene& scene, const std::string& statement) { scene.database().Execute(statement); }

std::string WithPlaces(const std::string& text, const FaultScene& scene) {
  return Utf16ToUtf8(
      ReplaceAll(ReplaceAll(Utf8ToUtf16(text), u"<program>", Utf8ToUtf16(scene.program().path())),
                 u"<database>", Utf8ToUtf16(scene.database_file())));
}

void ExpectText(const std::string& actual, const Expected& expected, const FaultScene& scene) {
  const std::string text = WithPlaces(expected.text, scene);
  if (expected.whole) {
    EXPECT_EQ(actual, text);
  } else {
    EXPECT_TRUE(actual.starts_with(text)) << "expected a start of\n" << text << "\nin\n" << actual;
  }
}

const Fault kFaults[] = {
    // The database.
    {.name = "database server stopped",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           // The server on loopback serves every test running beside this one, so it keeps
           // running: a port where no server listens is the same fault as the worker meets it.
           scene.SetDatabaseArgument("localhost/" + std::to_string(scene.ClosedPortNumber()) + ":" +
                                     scene.database_file());
         },
     .exit_code = 2,
     .standard_output = StartingWith("vorlabws::DatabaseError: Unable to complete network "
                                     "request to host \"localhost\""),
     .standard_error = Whole(kNoDatabase)},
    {.name = "database file unreadable",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { scene.SetPermissions(scene.database_file(), 0); },
     .exit_code = 2,
     .standard_output = StartingWith(
         "vorlabws::DatabaseError: I/O error during \"open\" operation for file \"<database>\"; "
         "Error while trying to open file; Permission denied"),
     .standard_error = Whole(kNoDatabase)},
    {.name = "job row table missing",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { Sql(scene, "DROP TABLE VORLABR"); },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::DatabaseError: Dynamic SQL Error; SQL error code = -204; "
                              "Table unknown; VORLABR; At line 1, column 36 [SQL: " +
                              kLabelSelect + "]\r\n")},
    {.name = "courier column missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABT DROP TRASPORTATORE"); },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::DatabaseError: Field 'TRASPORTATORE' not found [SQL: " +
                              kLabelSelect + "]\r\n")},
    {.name = "BRT: a column of the routing request missing",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABT DROP DEST_CAP"); },
     .exit_code = 3,
     .esito = kBrtCommunication},
    {.name = "BRT: a label column missing",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABR DROP REPORT_CUSTOM"); },
     .exit_code = 3,
     .esito = u"003 - Errore durante l\u00B4aggiornamento della riga",
     .header = Written::kComplete},
    {.name = "ESITO column missing",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABR DROP ESITO"); },
     .exit_code = 0,
     .standard_error = Whole("Impossibile aggiornare l'esito dell'elaborazione. Dynamic SQL "
                             "Error; SQL error code = -206; Column unknown; ESITO; At line 1, "
                             "column 20 [SQL: UPDATE VORLABR SET ESITO='000 - Completato' WHERE "
                             "TESTATA=15 AND RIGA=2]\n"),
     .header = Written::kComplete,
     .row = Written::kComplete},
    {.name = "DHL: a column of the request missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABT DROP DEST_CAP"); },
     .exit_code = 2,
     .standard_output = Whole(
         "vorlabws::DatabaseError: Field 'DEST_CAP' not found [SQL: " + kLabelSelect + "]\r\n")},
    {.name = "DHL: a routing column missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABT DROP MITT_FILIALE"); },
     .exit_code = 3,
     .esito = u"003 - Errore durante l\u00B4aggiornamento della testata",
     .errore = StartingWith("UPDATE VORLABT SET\r\n MITT_FILIALE='")},
    {.name = "DHL: a label column missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE VORLABR DROP REPORT_ARCHIVIO"); },
     .exit_code = 3,
     .esito = u"003 - Errore durante l\u00B4aggiornamento della riga",
     .header = Written::kComplete,
     .errore = StartingWith("UPDATE VORLABR SET\r\n REPORT_ETICHETTA='")},
    {.name = "manifest rows table missing",
     .job = Job::kDhlManifest,
     .make = [](FaultScene& scene) { Sql(scene, "DROP TABLE MANIFESTR"); },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::DatabaseError: Dynamic SQL Error; SQL error code = -204; "
                              "Table unknown; MANIFESTR; At line 1, column 38 [SQL: SELECT * FROM "
                              "MANIFESTT T INNER JOIN MANIFESTR R ON T.ID=R.TESTATA WHERE "
                              "T.ID=7]\r\n")},
    {.name = "manifest text column missing",
     .job = Job::kDhlManifest,
     .make = [](FaultScene& scene) { Sql(scene, "ALTER TABLE MANIFESTT DROP COURIERREPORT"); },
     .exit_code = 3,
     .standard_error = StartingWith("Impossibile aggiornare l'esito dell'elaborazione. Dynamic "
                                    "SQL Error; SQL error code = -206; Column unknown; "
                                    "COURIERREPORT;"),
     .esito = u"002 - Errore nel popolamento"},

    // The BRT service.
    {.name = "BRT service down",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { scene.UseUnreachableBrtService(); },
     .exit_code = 3,
     .esito = kBrtCommunication},
    {.name = "BRT service slow past the time limit",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseBrtService({"--misbehave", "hang"});
           scene.SetEnvironment("VORLABWS_BRT_TIMEOUT", "2");
         },
     .exit_code = 3,
     .esito = kBrtCommunication},
    {.name = "BRT service answering garbage",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseBrtService({"--misbehave", "garbage"});
         },
     .exit_code = 3,
     .esito = kBrtCommunication},
    {.name = "BRT service answering a web page",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseBrtService({"--misbehave", "html"});
         },
     .exit_code = 3,
     .esito = kBrtCommunication},
    {.name = "BRT service answering a fault",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseBrtService({"--misbehave", "fault"});
         },
     .exit_code = 3,
     .esito = kBrtCommunication},

    // The relay. Scripts stand in for a relay that misbehaves: the real one cannot be made to.
    {.name = "relay missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { scene.RemoveFile("Relayer.exe"); },
     .exit_code = 3,
     .esito = kRelayFailed},
    {.name = "relay crashing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { scene.UseRelayScript("kill -SEGV $$"); },
     .exit_code = 2,
     .standard_output = Whole(kNoReply)},
    {.name = "relay hanging",
     .job = Job::kDhlLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseRelayScript("exec sleep 600");
           scene.SetEnvironment("VORLABWS_DHL_RELAY_TIMEOUT", "1");
         },
     .exit_code = 3,
     .esito = kRelayFailed},
    {.name = "relay writing a malformed reply",
     .job = Job::kDhlLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseRelayScript(
               "printf '<?xml version=\"1.0\"?><Envelope><Body><Response>' > \"$2/out/$3\"");
         },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::XmlError: <program>data/out/dhl_15_2.txt:1:48: "
                              "Premature end of data in tag Response line 1\r\n")},

    // The templates.
    {.name = "BRT label template missing",
     .job = Job::kBrtLabel,
     .make = [](FaultScene& scene) { scene.RemoveFile("report/BRT.prn"); },
     .exit_code = 3,
     .esito = kBrtCommunication,
     .header = Written::kComplete},
    {.name = "DHL request template missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { scene.RemoveFile("data/dhl_template.txt"); },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::FileError: Cannot open <program>data/dhl_template.txt: "
                              "No such file or directory\r\n")},
    {.name = "DHL label template missing",
     .job = Job::kDhlLabel,
     .make = [](FaultScene& scene) { scene.RemoveFile("report/DHL.prn"); },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::FileError: Cannot open <program>report/DHL.prn: No such "
                              "file or directory\r\n"),
     .header = Written::kComplete},

    // The program folder's files.
    {.name = "data/ read-only",
     .job = Job::kDhlLabel,
     .make =
         [](FaultScene& scene) {
           scene.SetPermissions(scene.program().path() + "data/out", 0555);
           scene.SetPermissions(scene.program().path() + "data", 0555);
         },
     .exit_code = 2,
     .standard_output = Whole("vorlabws::FileError: Cannot create <program>data/dhl_15_2.txt: "
                              "Permission denied\r\n")},
    {.name = "data/out/ read-only",
     .job = Job::kDhlLabel,
     .make =
         [](FaultScene& scene) { scene.SetPermissions(scene.program().path() + "data/out", 0555); },
     .exit_code = 2,
     .standard_output =
         Whole("vorlabws::FileError: Cannot open <program>data/out/dhl_15_2.txt: No such file or "
               "directory; the relay said: Relayer.exe: Cannot create a file beside "
               "<program>data/out/dhl_15_2.txt: Permission denied\r\n")},
    {.name = "errore.txt not writable",
     .job = Job::kDhlLabel,
     .make =
         [](FaultScene& scene) {
           Sql(scene, "ALTER TABLE VORLABT DROP MITT_FILIALE");  // the header update fails
           scene.program().WriteFile("errore.txt", "errore precedente\r\n");
           scene.SetPermissions(scene.program().path() + "errore.txt", 0444);
         },
     .exit_code = 2,
     .standard_output = StartingWith(
         "vorlabws::FileError: Cannot create <program>errore.txt: Permission denied; the failed "
         "update is not saved there: Dynamic SQL Error; SQL error code = -206; Column unknown; "
         "MITT_FILIALE;"),
     .errore = Whole("errore precedente\r\n")},
};

class FaultMatrixTest : public ::testing::TestWithParam<Fault> {};

TEST_P(FaultMatrixTest, OutcomeAndRows) {
  const Fault& fault = GetParam();
  SCOPED_TRACE(fault.name);
  FaultScene scene(fault.job);
  const FaultRun twin = scene.RunTwin();
  ASSERT_EQ(twin.exit_code, 0) << twin.standard_output << twin.standard_error;

  fault.make(scene);
  const JobRows before = scene.JobRowsNow();
  const FaultRun run = scene.RunJob();
  const JobRows after = scene.JobRowsNow();
  const JobRows complete = scene.TwinRowsNow();

  EXPECT_EQ(run.exit_code, fault.exit_code);
  ExpectText(run.standard_output, fault.standard_output, scene);
  ExpectText(run.standard_error, fault.standard_error, scene);
  EXPECT_EQ(scene.Esito(after), fault.esito ? fault.esito : scene.Esito(before));
  EXPECT_EQ(Results(after.header),
            Results(fault.header == Written::kComplete ? complete.header : before.header));
  EXPECT_EQ(Results(after.row),
            Results(fault.row == Written::kComplete ? complete.row : before.row));
  ExpectText(scene.Errore(), fault.errore, scene);
  EXPECT_LT(run.took, kLongestRun);
}

std::string RowName(const ::testing::TestParamInfo<Fault>& info) {
  std::string name;
  for (const char c : std::string(JobName(info.param.job)) + " " + info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      name += c;
    } else if (!name.empty() && name.back() != '_') {
      name += '_';
    }
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrixTest, ::testing::ValuesIn(kFaults), RowName);

}  // namespace
}  // namespace vorlabws::testing
