// BRT label jobs end to end: the built worker as the host starts it, against a real job database
// and the stand-in BRT service on loopback. What the job leaves in the header and the row, its
// outcome in ESITO, its exit code, and how many requests reached the service.
#include <gtest/gtest.h>

#include <optional>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/brt/brt_job_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {
namespace {

using standin::StandInService;

// Every placeholder on a line of its own, in the order they are filled.
const char kTestTemplate[] =
    "^XA\n"
    "MITT_RAGSOC=@MITT_RAGSOC@\nMITT_PROVINCIA=@MITT_PROVINCIA@\nDEST_RAGSOC=@DEST_RAGSOC@\n"
    "DEST_PROVINCIA=@DEST_PROVINCIA@\nDEST_VIA=@DEST_VIA@\nDEST_NRCIVICO=@DEST_NRCIVICO@\n"
    "DEST_CITTA=@DEST_CITTA@\nVOLUME=@VOLUME@\nNUMERO_SEGNA_COLLO_DI=@NUMERO_SEGNA_COLLO_DI@\n"
    "TOTALE_SEGNACOLLI=@TOTALE_SEGNACOLLI@\nNUMERO_SERIE=@NUMERO_SERIE@\nPESO=@PESO@\n"
    "MESE=@MESE@\nANNO=@ANNO@\nGIORNO=@GIORNO@\nZONA_SEGNACOLLO=@ZONA_SEGNACOLLO@\n"
    "@TIPO_SERVIZIO_BOLLE@\nPO_SEGNACOLLO=@PO_SEGNACOLLO@\n"
    "NUMERO_SEGNA_COLLO_1=@NUMERO_SEGNA_COLLO_1@\nNUMERO_SEGNA_COLLO_2=@NUMERO_SEGNA_COLLO_2@\n"
    "TERMINAL_ARRIVO=@TERMINAL_ARRIVO@\nPO_ARRIVO=@PO_ARRIVO@\n"
    "MITT_SPEDIZIONE=@MITT_SPEDIZIONE@\nCODICE_CARTONE=@CODICE_CARTONE@\n"
    "PO_BARCODE=@PO_BARCODE@\n"
    "^XZ";

// The usual job (AddBrtJob) routed to Milan, as stored.
const std::u16string kRoutedHeader = u"12|100|MILANO|ROMA|101";

// The stand-in's label for the usual job, with `recipient` as the recipient's name.
std::u16string CourierLabel(const std::u16string& recipient) {
  return u"^XA\n"
         u"^LH110,0\n"
         u"^FO20,20^A0N,28,28^FDMITT: Vorlab Forniture Industriali S.r.l. (BO)^FS\n"
         u"^FO20,60^A0N,36,36^FD" +
         recipient +
         u"^FS\n"
         u"^FO20,105^A0N,28,28^FDVia dell\u00B4Orso, 12/A^FS\n"
         u"^FO20,140^A0N,28,28^FD20121 MILANO MI^FS\n"
         u"^FO20,190^A0N,60,60^FD100 MILANO^FS\n"
         u"^FO20,260^A0N,28,28^FDCOLLO 1234567 DI 2 PESO 12.25^FS\n"
         u"^FO20,300^BCN,100,Y,N,N^FD01210001123456712^FS\n"
         u"^XZ\n";
}

// The placeholders' values for the usual job routed to Milan, as stored.
const std::pair<const char16_t*, const char16_t*> kRoutedValues[] = {
    {u"@MITT_RAGSOC@", u"Vorlab Forniture Industri"},
    {u"@MITT_PROVINCIA@", u"BO"},
    {u"@DEST_RAGSOC@", u"L\u00B4Officina del Gusto di R"},
    {u"@DEST_PROVINCIA@", u"MI"},
    {u"@DEST_VIA@", u"Via dell\u00B4Orso"},
    {u"@DEST_NRCIVICO@", u"12/A"},
    {u"@DEST_CITTA@", u"MILANO"},
    {u"@VOLUME@", u"0,062"},
    {u"@NUMERO_SEGNA_COLLO_DI@", u"2"},
    {u"@TOTALE_SEGNACOLLI@", u"3"},
    {u"@NUMERO_SERIE@", u"O1"},
    {u"@PESO@", u"12,2"},
    {u"@MESE@", u"03"},
    {u"@ANNO@", u"2024"},
    {u"@GIORNO@", u"07"},
    {u"@ZONA_SEGNACOLLO@", u"12"},
    {u"@TIPO_SERVIZIO_BOLLE@", u"^FO000,240^GB065,065,60^FS\r\n^FO020,250^A0N,060,048^FR^FDE^FS"},
    {u"@PO_SEGNACOLLO@", u"012"},
    {u"@NUMERO_SEGNA_COLLO_1@", u"1234"},
    {u"@NUMERO_SEGNA_COLLO_2@", u"567"},
    {u"@TERMINAL_ARRIVO@", u"101"},
    {u"@PO_ARRIVO@", u"100"},
    {u"@MITT_SPEDIZIONE@", u"RIF-0042"},
    {u"@CODICE_CARTONE@", u"CRT-9"},
    {u"@PO_BARCODE@", u"012100011234567122"},
};

class BrtJobDatabase {
 public:
  explicit BrtJobDatabase(Engine engine) : database_(engine, folder_.path() + "archivio.fdb") {}

  const JobDatabase& database() const { return database_; }
  std::string Where(int testata) const {
    return " WHERE TESTATA=" + std::to_string(testata) + " AND RIGA=1";
  }
  std::u16string Row(int testata, const std::string& column) const {
    return database_.Value("SELECT " + column + " FROM VORLABR" + Where(testata), column);
  }
  // The routing columns of the header: zone, arrival depot and its name, departure depot name,
  // terminal.
  std::u16string Header(int testata) const {
    std::u16string text;
    for (const char* column : {"ZONA_SEGNACOLLO", "PO_ARRIVO", "PO_ARRIVO_DESCRIZIONE",
                               "PO_PARTENZA_DESCRIZIONE", "TERMINAL_ARRIVO"}) {
      text += database_.Value("SELECT " + std::string(column) +
                                  " FROM VORLABT WHERE ID=" + std::to_string(testata),
                              column) +
              u"|";
    }
    return text.substr(0, text.size() - 1);
  }
  // Both labels stored (true), or neither (false); anything else fails the test.
  bool LabelsStored(int testata) const {
    const int both =
        database_.Count("SELECT 1 FROM VORLABR" + Where(testata) +
                        " AND REPORT_ETICHETTA IS NOT NULL AND REPORT_CUSTOM IS NOT NULL");
    const int neither = database_.Count("SELECT 1 FROM VORLABR" + Where(testata) +
                                        " AND REPORT_ETICHETTA IS NULL AND REPORT_CUSTOM IS NULL");
    EXPECT_EQ(both + neither, 1);
    return both == 1;
  }

 private:
  TempFolder folder_;
  JobDatabase database_;
};

// The requests line of the stand-in's traffic ("requests N").
std::string Requests(const StandInService& service) {
  const std::string traffic = service.Traffic();
  return traffic.substr(traffic.find("requests"),
                        traffic.find('\n', traffic.find("requests")) - traffic.find("requests"));
}

class BrtRoutedJobTest : public ::testing::TestWithParam<Engine> {};

TEST_P(BrtRoutedJobTest, StoresRoutingAndBothLabels) {
  const BrtJobDatabase jobs(GetParam());
  AddBrtJob(jobs.database(), 15, 1);
  const StandInService service;
  const WorkerFolder program(kTestTemplate);

  const WorkerRun run = program.Run({jobs.database().connection(), "15", "1"}, service.WsdlUrl());

  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(run.standard_error, "");
  EXPECT_EQ(jobs.Row(15, "ESITO"), u"000 - Completato");
  EXPECT_EQ(jobs.Header(15), kRoutedHeader);
  EXPECT_EQ(jobs.Row(15, "REPORT_ETICHETTA"),
            CourierLabel(u"L\u00B4Officina del Gusto di Rossi & Figli"));
  EXPECT_EQ(jobs.Row(15, "REPORT_CUSTOM"),
            u"^XA\r\n"
            u"MITT_RAGSOC=Vorlab Forniture Industri\r\n"
            u"MITT_PROVINCIA=BO\r\n"
            u"DEST_RAGSOC=L\u00B4Officina del Gusto di R\r\n"
            u"DEST_PROVINCIA=MI\r\n"
            u"DEST_VIA=Via dell\u00B4Orso\r\n"
            u"DEST_NRCIVICO=12/A\r\n"
            u"DEST_CITTA=MILANO\r\n"
            u"VOLUME=0,062\r\n"
            u"NUMERO_SEGNA_COLLO_DI=2\r\n"
            u"TOTALE_SEGNACOLLI=3\r\n"
            u"NUMERO_SERIE=O1\r\n"
            u"PESO=12,2\r\n"
            u"MESE=03\r\n"
            u"ANNO=2024\r\n"
            u"GIORNO=07\r\n"
            u"ZONA_SEGNACOLLO=12\r\n"
            u"^FO000,240^GB065,065,60^FS\r\n"
            u"^FO020,250^A0N,060,048^FR^FDE^FS\r\n"
            u"PO_SEGNACOLLO=012\r\n"
            u"NUMERO_SEGNA_COLLO_1=1234\r\n"
            u"NUMERO_SEGNA_COLLO_2=567\r\n"
            u"TERMINAL_ARRIVO=101\r\n"
            u"PO_ARRIVO=100\r\n"
            u"MITT_SPEDIZIONE=RIF-0042\r\n"
            u"CODICE_CARTONE=CRT-9\r\n"
            u"PO_BARCODE=012100011234567122\r\n"
            u"^XZ\r\n");
  EXPECT_EQ(Requests(service), "requests 3");
}

TEST(BrtMissingTemplateTest, EndsAsACommunicationErrorWithTheHeaderCommitted) {
  const BrtJobDatabase jobs(Engine::kServer);
  AddBrtJob(jobs.database(), 15, 1);
  const StandInService service;
  const WorkerFolder program(std::nullopt);

  const WorkerRun run = program.Run({jobs.database().connection(), "15", "1"}, service.WsdlUrl());

  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(jobs.Row(15, "ESITO"), u"002 - Errore di comunicazione con il webservice BRT");
  EXPECT_EQ(jobs.Header(15), kRoutedHeader);
  EXPECT_FALSE(jobs.LabelsStored(15));
}

INSTANTIATE_TEST_SUITE_P(Engines, BrtRoutedJobTest,
                         ::testing::Values(Engine::kEmbedded, Engine::kServer),
                         [](const auto& info) { return EngineName(info.param); });

TEST(BrtInstalledLabelTest, RoutedJobFillsEveryPlaceholderOfTheInstalledTemplate) {
  // The installed template is plain ASCII with LF line ends; the job stores it with CR LF.
  const std::u16string installed =
      ReplaceAll(Utf8ToUtf16(ReadFileBytes(Utf8ToUtf16(ProgramFolderOfBuild() + "report/BRT.prn"))),
                 u"\n", u"\r\n");
  std::u16string expected = installed;
  for (const auto& [placeholder, value] : kRoutedValues) {
    SCOPED_TRACE(Utf16ToUtf8(placeholder));
    EXPECT_NE(installed.find(placeholder), std::u16string::npos);
    expected = ReplaceAll(expected, placeholder, value);
  }
  EXPECT_EQ(expected.find(u'@'), std::u16string::npos);

  const BrtJobDatabase jobs(Engine::kServer);
  AddBrtJob(jobs.database(), 15, 1);
  const StandInService service;
  const WorkerRun run = RunBrtWorker({jobs.database().connection(), "15", "1"}, service.WsdlUrl());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(jobs.Row(15, "REPORT_CUSTOM"), expected);
}

class BrtJobOutcomeTest : public ::testing::Test {
 protected:
  BrtJobOutcomeTest() : jobs_(Engine::kServer) {
    // Weights kept as text, so that a malformed one can reach the job.
    jobs_.database().Execute("ALTER TABLE VORLABT ALTER PESO_TOT TYPE VARCHAR(30)");
  }
  BrtJobDatabase jobs_;
};

enum class Refused { kNothing, kHeader, kRow, kBoth };
enum class Service { kStandIn, kUnreachable };

TEST_F(BrtJobOutcomeTest, OutcomesOfTheReplyTheUpdatesAndTheFailures) {
  struct Row {
    const char* name;
    BrtJobColumns changes;
    std::vector<std::string> standin_options;
    Service service;
    Refused refused;
    int exit_code;
    std::u16string esito;  // as stored
    std::u16string header;
    bool labels_stored;
    std::string requests;  // reaching the service: WSDL, routing, label
  };
  const std::u16string untouched = u"||||";
  const std::u16string communication = u"002 - Errore di comunicazione con il webservice BRT";
  const Row rows[] = {
      {"routed",
       {},
       {},
       Service::kStandIn,
       Refused::kNothing,
       0,
       u"000 - Completato",
       kRoutedHeader,
       true,
       "requests 3"},
      {"arrival depot with an apostrophe",
       {{"DEST_CAP", "'11100'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       0,
       u"000 - Completato",
       u"1|57|VALLE D\u00B4AOSTA|ROMA|58",
       true,
       "requests 3"},
      {"error code and an arrival depot",
       {{"DEST_CAP", "'99998'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       0,
       u"000 - Completato",
       kRoutedHeader,
       true,
       "requests 3"},
      {"error code and no arrival depot",
       {{"DEST_CAP", "'12345'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       u"003 - Errore E47: CAP 12345 inesistente",
       untouched,
       false,
       "requests 2"},
      {"neither error code nor arrival depot",
       {{"DEST_CAP", "'99999'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       u"003 - Trasportatore non valido",
       untouched,
       false,
       "requests 2"},
      {"header update refused",
       {},
       {},
       Service::kStandIn,
       Refused::kHeader,
       3,
       u"003 - Errore durante l\u00B4aggiornamento della testata",
       untouched,
       true,
       "requests 3"},
      {"row update refused",
       {},
       {},
       Service::kStandIn,
       Refused::kRow,
       3,
       u"003 - Errore durante l\u00B4aggiornamento della riga",
       kRoutedHeader,
       false,
       "requests 3"},
      {"both updates refused",
       {},
       {},
       Service::kStandIn,
       Refused::kBoth,
       3,
       u"003 - Errore durante l\u00B4aggiornamento della riga",
       untouched,
       false,
       "requests 3"},
      {"negative zone in the barcode",
       {{"DEST_CAP", "'99997'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       u"-1|100|MILANO|ROMA|101",
       false,
       "requests 3"},
      {"label type outside the four",
       {{"TIPO_ETICHETTA", "4"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 2"},
      {"parcel number with leading blanks",
       {{"NUMERO_SEGNA_COLLO", "'  1234567'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       0,
       u"000 - Completato",
       kRoutedHeader,
       true,
       "requests 3"},
      {"service unreachable",
       {},
       {},
       Service::kUnreachable,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       ""},
      {"fault",
       {},
       {"--misbehave", "fault"},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 2"},
      {"web page instead of an envelope",
       {},
       {"--misbehave", "html"},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 2"},
      {"routing reply without a record",
       {},
       {"--misbehave", "nil"},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 2"},
      {"empty month and day",
       {{"MESE", "''"}, {"GIORNO", "''"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 0"},
      {"month that is no number",
       {{"MESE", "'x3'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 0"},
      {"no weight",
       {{"PESO_TOT", "NULL"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 0"},
      {"weight with point and comma",
       {{"PESO_TOT", "'1.234,5'"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 0"},
      {"parcel number with a trailing blank",
       {{"NUMERO_SEGNA_COLLO", "'1234567 '"}},
       {},
       Service::kStandIn,
       Refused::kNothing,
       3,
       communication,
       untouched,
       false,
       "requests 0"},
  };
  int testata = 100;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ++testata;
    AddBrtJob(jobs_.database(), testata, 1, row.changes);
    const std::string id = std::to_string(testata);
    if (row.refused == Refused::kHeader || row.refused == Refused::kBoth) {
      jobs_.database().Execute("ALTER TABLE VORLABT ADD CONSTRAINT REFUSE_HEADER_" + id +
                               " CHECK (ID <> " + id + " OR PO_ARRIVO IS NULL)");
    }
    if (row.refused == Refused::kRow || row.refused == Refused::kBoth) {
      jobs_.database().Execute("ALTER TABLE VORLABR ADD CONSTRAINT REFUSE_ROW_" + id +
                               " CHECK (TESTATA <> " + id + " OR REPORT_CUSTOM IS NULL)");
    }
    std::optional<StandInService> service;
    std::u16string wsdl;
    if (row.service == Service::kStandIn) {
      service.emplace(row.standin_options);
      wsdl = service->WsdlUrl();
    } else {
      wsdl = StandInService().WsdlUrl();  // its port is closed again once it has gone
    }

    const WorkerRun run = RunBrtWorker({jobs_.database().connection(), id, "1"}, wsdl);

    EXPECT_EQ(run.exit_code, row.exit_code);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(jobs_.Row(testata, "ESITO"), row.esito);
    EXPECT_EQ(jobs_.Header(testata), row.header);
    EXPECT_EQ(jobs_.LabelsStored(testata), row.labels_stored);
    if (service) {
      EXPECT_EQ(Requests(*service), row.requests);
    }
  }
}

// A time limit for the service that is not a number of seconds is an installation fault, told
// on the failure line before the service hears of the job.
TEST(BrtTimeLimitTest, TimeLimitThatIsNotANumberOfSecondsEndsTheRunBeforeAnyRequest) {
  const BrtJobDatabase jobs(Engine::kServer);
  AddBrtJob(jobs.database(), 15, 1);
  const StandInService service;
  for (const std::string limit : {"soon", "0", "-5", "1.5"}) {
    SCOPED_TRACE(limit);
    StartOptions options;
    options.environment = {{"VORLABWS_BRT_WSDL", Utf16ToUtf8(service.WsdlUrl())},
                           {"VORLABWS_BRT_TIMEOUT", limit}};

    const WorkerRun run = RunWorker({jobs.database().connection(), "15", "1"}, options);

    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.standard_output, "vorlabws::Failure: VORLABWS_BRT_TIMEOUT '" + limit +
                                       "' is not a number of seconds\r\n");
    EXPECT_EQ(jobs.Row(15, "ESITO"), u"");
    EXPECT_EQ(jobs.Header(15), u"||||");
    EXPECT_FALSE(jobs.LabelsStored(15));
    EXPECT_EQ(Requests(service), "requests 0");
  }
}

// The host's database lets the worker store a label of any length: the courier's label here
// carries a recipient's name of 200 KB.
TEST(BrtLongLabelTest, LabelOf200KilobytesStoresWhole) {
  const BrtJobDatabase jobs(Engine::kServer);
  jobs.database().Execute("ALTER TABLE VORLABT DROP DEST_RAGSOC");
  jobs.database().Execute("ALTER TABLE VORLABT ADD DEST_RAGSOC BLOB SUB_TYPE TEXT");
  AddBrtJob(jobs.database(), 15, 1, {{"DEST_RAGSOC", "NULL"}});
  std::u16string recipient;
  while (recipient.size() < 200 * 1024) recipient += u"Trattoria dell'Aquila & C. ";
  SetText(jobs.database(), "VORLABT", "DEST_RAGSOC", "ID=15", recipient);
  const StandInService service;

  const WorkerRun run = RunBrtWorker({jobs.database().connection(), "15", "1"}, service.WsdlUrl());

  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(jobs.Row(15, "ESITO"), u"000 - Completato");
  EXPECT_EQ(jobs.Row(15, "REPORT_ETICHETTA"), CourierLabel(ReplaceAll(recipient, u"'", u"\u00B4")));
}

}  // namespace
}  // namespace vorlabws::testing
