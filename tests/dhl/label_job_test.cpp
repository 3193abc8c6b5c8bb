// Whole DHL label jobs as the host runs them: a copy of the worker with the real relay, against
// the stand-in DHL service over HTTP on loopback, on a database through each engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

// The routing values the service derives from a job, in the order of the header columns below.
const char* const kRoutingColumns[] = {
    "PRODOTTO",        "MITT_NAZIONE_DESCR", "MITT_FILIALE",    "DEST_FILIALE",
    "ZONA_SEGNACOLLO", "CODICE_PRODOTTO",    "SFONDO_PRODOTTO", "DEST_NAZIONE_DESCR",
    "PO_SEGNACOLLO",   "PO_SEGNACOLLO_DESCR"};

// A label template that shows what the label reads from the header after the update.
constexpr char kLabelTemplate[] =
    "@PRODOTTO@|@DEST_FILIALE@|@ZONA_SEGNACOLLO@|@DEST_NAZIONE_DESCR@|@PO_SEGNACOLLO@|"
    "@PO_SEGNACOLLO_DESCR@|@PIECES_LP_1@@PIECES_LP_2@|@DEST_RAGSOC@";

// The service's rendering of the default job, with its title line.
std::u16string ServiceDocument(const std::u16string& title, const std::u16string& receiver,
                               const std::u16string& routing) {
  return JoinLines({
             u"^XA",
             u"^CI27",
             u"^PW812",
             u"^LL1218",
             u"^FO30,30^A0N,40,40^FD" + title + u" EXPRESS WORLDWIDE^FS",
             u"^FO30,90^A0N,30,30^FDWaybill 1234567890  Piece 1/1^FS",
             u"^FO30,140^A0N,28,28^FDFrom Vorlab S.r.l., Milano^FS",
             u"^FO30,180^A0N,28,28^FDTo " + receiver + u"^FS",
             u"^FO30,220^A0N,36,36^FD80802 München^FS",
             u"^FO30,280^A0N,30,30^FDContent Ricambi meccanici  Weight 2.5 kg  Date 2024-03-07^FS",
             u"^FO30,340^A0N,30,30^FD" + routing + u"^FS",
             u"^BY3,3,220^FO40,400^BCN,220,Y,N,N,A^FDJJD0146000062810001^FS",
             u"^XZ",
         }) +
         u"\r\n";
}

class LabelJobTest : public ::testing::TestWithParam<Engine> {
 protected:
  LabelJobTest()
      : program_(folder_.path() + "program/"),
        database_(GetParam(), folder_.path() + "archivio.fdb") {
    program_.InstallRealRelay();
    program_.WriteFile("report/DHL.prn", kLabelTemplate);
  }

  WorkerRun RunJob(const std::string& query = "", const std::string& bound = "180") {
    StartOptions options;
    options.environment = {{"VORLABWS_DHL_URL", service_.address() + query},
                           {"VORLABWS_DHL_RELAY_TIMEOUT", bound}};
    return RunWorkerAt(worker_, {database_.connection(), "15", "2"}, options);
  }
  // Job 15/2 with these changes, in place of any earlier one.
  void ReplaceJob(const Columns& changes) {
    database_.Execute("DELETE FROM VORLABR");
    database_.Execute("DELETE FROM VORLABT");
    AddDhlJob(database_, 15, 2, changes);
  }
  std::vector<std::u16string> Header() {
    std::vector<std::u16string> values;
    for (const char* column : kRoutingColumns) {
      values.push_back(database_.Value("SELECT * FROM VORLABT WHERE ID=15", column));
    }
    return values;
  }
  std::u16string RowValue(const std::string& column) {
    return database_.Value("SELECT * FROM VORLABR WHERE TESTATA=15 AND RIGA=2", column);
  }

  DhlStandIn service_;
  TempFolder folder_;
  ProgramFolderCopy program_;
  JobDatabase database_;
  std::string worker_ = program_.path() + "VorlabWS";  // what the host starts
};

TEST_P(LabelJobTest, CompleteJobs) {
  struct Row {
    const char* name;
    Columns changes;
    std::vector<std::u16string> header;
    std::u16string receiver;  // as the service's documents show it
    std::u16string label;
  };
  const Row rows[] = {
      {"a shipment to Germany",
       {},
       {u"EXPRESS WORLDWIDE", u"ITALY", u"MIL", u"MNC", u"MNC-80", u"WPX", u"Y", u"GERMANY", u"2L",
        u"DE80802+48000000"},
       u"Müller GmbH, Leopoldstraße 5",
       u"EXPRESS WORLDWIDE|MNC|MNC-80|GERMANY|2L|DE80802 + 48000000|JJD0146000062810001|"
       u"Müller GmbH\r\n"},
      {"apostrophes in the routing values and the documents",
       {{"DEST_RAGSOC", "'L''Atelier'"}, {"DEST_NAZIONE", "'CI'"}},
       {u"EXPRESS WORLDWIDE", u"ITALY", u"MIL", u"MNC", u"MNC-80", u"WPX", u"Y",
        u"COTE D\u00B4IVOIRE", u"2L", u"CI80802+48000000"},
       u"L\u00B4Atelier, Leopoldstraße 5",
       u"EXPRESS WORLDWIDE|MNC|MNC-80|COTE D\u00B4IVOIRE|2L|CI80802 + 48000000|"
       u"JJD0146000062810001|L\u00B4Atelier\r\n"},
      {"characters that XML reserves in the company name",
       {{"DEST_RAGSOC", "'Rossi & Figli <Srl>'"}},
       {u"EXPRESS WORLDWIDE", u"ITALY", u"MIL", u"MNC", u"MNC-80", u"WPX", u"Y", u"GERMANY", u"2L",
        u"DE80802+48000000"},
       u"Rossi & Figli <Srl>, Leopoldstraße 5",
       u"EXPRESS WORLDWIDE|MNC|MNC-80|GERMANY|2L|DE80802 + 48000000|JJD0146000062810001|"
       u"Rossi & Figli <Srl>\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReplaceJob(row.changes);
    const std::u16string routing = row.header.back();

    const WorkerRun run = RunJob();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(RowValue("ESITO"), u"000 - Completato");
    EXPECT_EQ(Header(), row.header);
    EXPECT_EQ(RowValue("REPORT_ETICHETTA"), ServiceDocument(u"LABEL", row.receiver, routing));
    EXPECT_EQ(RowValue("REPORT_ARCHIVIO"), ServiceDocument(u"ARCHIVE COPY", row.receiver, routing));
    EXPECT_EQ(RowValue("REPORT_CUSTOM"), row.label);
  }
}

TEST_P(LabelJobTest, JobsThatDoNotComplete) {
  const std::string reply = program_.path() + "data/out/dhl_15_2.txt";
  const auto RelaySaid = [&](const std::string& query, const std::string& status) {
    return "vorlabws::FileError: Cannot open " + reply +
           ": No such file or directory; the relay said: Relayer.exe: " + service_.address() +
           query + " answered " + status + "\r\n";
  };
  struct Row {
    const char* name;
    Columns changes;
    std::string query;
    std::string bound;
    int exit_code;
    std::string output_start;  // the whole line when it ends with CR LF
    std::string error;
    std::u16string esito;
  };
  const Row rows[] = {
      {"validation error",
       {{"DEST_CAP", "''"}},
       "",
       "180",
       3,
       "",
       "",
       u"003 - Receiver postcode is missing"},
      {"error",
       {{"MITT_FATTURAZIONE", "'12'"}},
       "",
       "180",
       3,
       "",
       "",
       u"003 - Errore nei dati della spedizione"},
      {"a malformed reply",
       {},
       "?reply=malformed",
       "180",
       2,
       "vorlabws::XmlError: " + reply + ":",
       "",
       u""},
      {"the service fails without a body: the failure line gives the relay's reason",
       {},
       "?status=500",
       "180",
       2,
       RelaySaid("?status=500", "500 Internal Server Error"),
       "",
       u""},
      {"a refusal answered with an error status: the service's reason",
       {{"DEST_CAP", "''"}},
       "?status=500&body=reply",
       "180",
       3,
       "",
       "",
       u"003 - Receiver postcode is missing"},
      {"a web page answered with an error status",
       {},
       "?status=503&body=page",
       "180",
       2,
       RelaySaid("?status=503&body=page", "503 Service Unavailable"),
       "",
       u""},
      {"a fault answered with an error status names no error: no reply",
       {},
       "?status=500&body=fault",
       "180",
       2,
       RelaySaid("?status=500&body=fault", "500 Internal Server Error"),
       "",
       u""},
      {"a whole reply answered with an error status does not pass for an accepted shipment",
       {},
       "?status=500&body=reply",
       "180",
       2,
       RelaySaid("?status=500&body=reply", "500 Internal Server Error"),
       "",
       u""},
      {"a reply slower than the bound",
       {},
       "?delay_ms=5000",
       "1",
       3,
       "",
       "",
       u"002 - Errore nell\u00B4accesso ai webservice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReplaceJob(row.changes);

    const WorkerRun run = RunJob(row.query, row.bound);
    EXPECT_EQ(run.exit_code, row.exit_code);
    if (row.output_start.ends_with("\r\n")) {
      EXPECT_EQ(run.standard_output, row.output_start);
    } else {
      EXPECT_TRUE(run.standard_output.starts_with(row.output_start)) << run.standard_output;
    }
    EXPECT_EQ(run.standard_error, row.error);
    EXPECT_EQ(RowValue("ESITO"), row.esito);
    EXPECT_EQ(Header(), std::vector<std::u16string>(10));
    EXPECT_EQ(
        RowValue("REPORT_ETICHETTA") + RowValue("REPORT_ARCHIVIO") + RowValue("REPORT_CUSTOM"),
        u"");
  }
}

TEST_P(LabelJobTest, FailedHeaderUpdateIsSavedInErrore) {
  AddDhlJob(database_, 15, 2);
  database_.Execute("ALTER TABLE VORLABT DROP MITT_FILIALE");
  database_.Execute("ALTER TABLE VORLABT ADD MITT_FILIALE VARCHAR(2)");

  const WorkerRun run = RunJob();
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(RowValue("ESITO"), u"003 - Errore durante l\u00B4aggiornamento della testata");
  EXPECT_EQ(program_.ReadFile("errore.txt"), DefaultHeaderUpdate(15));
  EXPECT_EQ(database_.Value("SELECT PRODOTTO FROM VORLABT WHERE ID=15", "PRODOTTO"), u"");
  EXPECT_EQ(RowValue("REPORT_CUSTOM"), u"");
}

TEST_P(LabelJobTest, FailedRowUpdateKeepsTheHeader) {
  AddDhlJob(database_, 15, 2, {{"DEST_RAGSOC", "'L''Atelier'"}});
  database_.Execute("ALTER TABLE VORLABR DROP REPORT_CUSTOM");
  database_.Execute("ALTER TABLE VORLABR ADD REPORT_CUSTOM VARCHAR(10)");

  const WorkerRun run = RunJob();
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(RowValue("ESITO"), u"003 - Errore durante l\u00B4aggiornamento della riga");
  EXPECT_EQ(database_.Value("SELECT PRODOTTO FROM VORLABT WHERE ID=15", "PRODOTTO"),
            u"EXPRESS WORLDWIDE");
  EXPECT_EQ(RowValue("REPORT_ETICHETTA"), u"");
  const std::u16string routing = u"DE80802+48000000";
  const std::u16string receiver = u"L\u00B4Atelier, Leopoldstraße 5";
  EXPECT_EQ(Utf8ToUtf16(program_.ReadFile("errore.txt")),
            u"UPDATE VORLABR SET\r\n"
            u" REPORT_ETICHETTA='" +
                ServiceDocument(u"LABEL", receiver, routing) +
                u"',\r\n"
                u" REPORT_ARCHIVIO='" +
                ServiceDocument(u"ARCHIVE COPY", receiver, routing) +
                u"',\r\n"
                u" REPORT_CUSTOM='EXPRESS WORLDWIDE|MNC|MNC-80|GERMANY|2L|DE80802 + 48000000|"
                u"JJD0146000062810001|L\u00B4Atelier\r\n'\r\n"
                u" WHERE TESTATA=15 AND RIGA=2\r\n");
}

TEST_P(LabelJobTest, LabelTextsOf200KilobytesStoreWhole) {
  AddDhlJob(database_, 15, 2);
  std::string filler;
  while (filler.size() < 200 * 1024) filler += "^FX " + std::string(70, '=') + "\r\n";
  program_.WriteFile("report/DHL.prn", "^XA\r\n" + filler + "^FD@PRODOTTO@^FS\r\n^XZ\r\n");

  const WorkerRun run = RunJob("?document_bytes=204800");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(RowValue("ESITO"), u"000 - Completato");
  EXPECT_EQ(RowValue("REPORT_CUSTOM"),
            Utf8ToUtf16("^XA\r\n" + filler + "^FDEXPRESS WORLDWIDE^FS\r\n^XZ\r\n"));
  for (const char* column : {"REPORT_ETICHETTA", "REPORT_ARCHIVIO"}) {
    SCOPED_TRACE(column);
    const std::u16string text = RowValue(column);
    EXPECT_GE(text.size(), 204800u);
    EXPECT_TRUE(text.starts_with(u"^XA\r\n^CI27\r\n"));
    EXPECT_TRUE(text.ends_with(u"^FX " + std::u16string(70, u'-') + u"\r\n^XZ\r\n"));
  }
}

// The program folder as a package lays it out: templates under etc/, the files jobs write under
// var/, joined to the program by links, and the worker started through a link on the search path.
TEST_P(LabelJobTest, ProgramFolderJoinedByLinks) {
  namespace fs = std::filesystem;
  const std::string& program = program_.path();
  for (const char* folder : {"bin", "etc", "var"}) fs::create_directory(folder_.path() + folder);
  fs::rename(program + "report", folder_.path() + "etc/report");
  fs::rename(program + "data", folder_.path() + "var/data");
  fs::create_symlink(folder_.path() + "etc/report", program + "report");
  fs::create_symlink("../var/data", program + "data");
  fs::create_symlink(folder_.path() + "var/errore.txt", program + "errore.txt");
  fs::create_symlink(program + "VorlabWS", folder_.path() + "bin/VorlabWS");
  worker_ = folder_.path() + "bin/VorlabWS";

  AddDhlJob(database_, 15, 2);
  const WorkerRun complete = RunJob();
  EXPECT_EQ(complete.exit_code, 0);
  EXPECT_EQ(complete.standard_output, "");
  EXPECT_EQ(RowValue("REPORT_CUSTOM"),
            u"EXPRESS WORLDWIDE|MNC|MNC-80|GERMANY|2L|DE80802 + 48000000|JJD0146000062810001|"
            u"Müller GmbH\r\n");
  EXPECT_TRUE(fs::is_regular_file(folder_.path() + "var/data/dhl_15_2.txt"));
  EXPECT_TRUE(fs::is_regular_file(folder_.path() + "var/data/out/dhl_15_2.txt"));

  database_.Execute("ALTER TABLE VORLABT DROP MITT_FILIALE");
  database_.Execute("ALTER TABLE VORLABT ADD MITT_FILIALE VARCHAR(2)");
  const WorkerRun failed = RunJob();
  EXPECT_EQ(failed.exit_code, 3);
  EXPECT_EQ(RowValue("ESITO"), u"003 - Errore durante l\u00B4aggiornamento della testata");
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(folder_.path() + "var/errore.txt")), DefaultHeaderUpdate(15));
  for (const char* link : {"report", "data", "errore.txt"}) {
    EXPECT_TRUE(fs::is_symlink(program + link)) << link;
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, LabelJobTest,
                         ::testing::Values(Engine::kEmbedded, Engine::kServer),
                         [](const auto& info) { return EngineName(info.param); });

}  // namespace
}  // namespace vorlabws::testing
