// The DHL end-of-day manifest as the host gets it: the worker runs a manifest job on a real job
// database, and the stored manifest and courier report are compared whole with texts laid out by
// hand, field by field at the positions the courier reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/text.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

// The shipments of the fixture. This host keeps weights as texts (so their dots reach the
// worker); volumes and values are numeric columns, which read with the decimal comma.
const char kShipments[] = R"sql(
ALTER TABLE VORLABT ALTER PESO_TOT TYPE VARCHAR(21);
ALTER TABLE VORLABR ALTER PESO TYPE VARCHAR(21);
INSERT INTO VORLABT (ID, TRASPORTATORE, MITT_FATTURAZIONE, NUMERO_SPEDIZIONE, DEST_FILIALE,
  MITT_SPEDIZIONE, MITT_RAGSOC, MITT_OPERATORE, MITT_VIA, MITT_NRCIVICO, MITT_CITTA,
  MITT_PROVINCIA, MITT_CAP, MITT_TELEFONO, MITT_NAZIONE, DEST_RAGSOC, DEST_VIA, DEST_NRCIVICO,
  DEST_CITTA, DEST_PROVINCIA, DEST_CAP, DEST_NAZIONE, CODICE_PRODOTTO, TOTALE_SEGNA_COLLI,
  PESO_TOT, VOLUME_TOT, VALORE_SPEDIZIONE, DESCRIZIONE_SPEDIZIONE, RESA, ANNO, MESE, GIORNO,
  ZONA_SEGNACOLLO)
  VALUES (101, 'DHL', '961234567', '1234567890', 'MUC', 'ORD-2024-0042', 'Società Àlfa S.r.l.',
  'Marta Rossi', 'Via dell''Industria', '12/B', 'Bologna', 'BO', '40128', '051 6543210', 'IT',
  'L''Artigiano del Legno GmbH', 'Hauptstraße', '7', 'München', 'BY', '80331', 'DE', 'WPX', 2,
  '12.500', 0.25, 1500.50, 'Componenti in legno', 'DAP', 2024, '03', '07', 'MUC');
INSERT INTO VORLABR (TESTATA, RIGA, CODICECARTONE, PESO, VOLUME, NUMERO_SEGNA_COLLO,
  DESCRIZIONE_COLLO)
  VALUES (101, 2, 'CART-B', '10.25', 0.125, 'JD014600003827461002', 'Piano del tavolo');
INSERT INTO VORLABR (TESTATA, RIGA, CODICECARTONE, PESO, VOLUME, NUMERO_SEGNA_COLLO,
  DESCRIZIONE_COLLO)
  VALUES (101, 1, 'CART-A', '1.5', 0.125, 'JD014600003827461001', 'Gambe d''appoggio');
INSERT INTO VORLABT (ID, TRASPORTATORE, MITT_FATTURAZIONE, NUMERO_SPEDIZIONE, MITT_RAGSOC,
  MITT_NAZIONE, DEST_RAGSOC, DEST_VIA, DEST_NRCIVICO, DEST_CITTA, DEST_PROVINCIA, DEST_CAP,
  DEST_NAZIONE, CODICE_PRODOTTO, TOTALE_SEGNA_COLLI, PESO_TOT, DESCRIZIONE_SPEDIZIONE, ANNO, MESE,
  GIORNO)
  VALUES (102, 'DHL', '42', '98765432109876', 'Cooperativa Agricola Produttori dell''Appennino',
  'IT', 'Rossi & Figli', 'Piazza Maggiore', '1', 'Bologna', 'BO', '40124', 'IT', 'N', 1, '12,5',
  'Campioni di formaggio stagionato e salumi', 2024, '3', '15');
INSERT INTO VORLABR (TESTATA, RIGA, NUMERO_SEGNA_COLLO)
  VALUES (102, 1, 'JD014600003827462001');
INSERT INTO VORLABR (TESTATA, RIGA, CODICECARTONE, PESO, VOLUME, NUMERO_SEGNA_COLLO,
  DESCRIZIONE_COLLO)
  VALUES (103, 1, 'CART-Z', '2', 0.01, 'JD014600003827463001', 'Ricambi');
)sql";

// Shipment 101, every field filled: accented names, apostrophes, dotted weight, decimal commas.
const std::u16string kShipment101 =
    FixedWidthRecord(849, {{1, u"FF0SHP2"},
                           {8, u"00000961234567"},
                           {22, u"1234567890"},
                           {32, u"MUC"},
                           {35, u"ORD-2024-0042"},
                           {70, u"Società Àlfa S.r.l."},
                           {105, u"Marta Rossi"},
                           {175, u"Via dell\u00B4Industria"},
                           {210, u"12/B"},
                           {245, u"Bologna"},
                           {265, u"BO"},
                           {310, u"40128"},
                           {322, u"051 6543210"},
                           {362, u"IT"},
                           {365, u"A"},
                           {380, u"L\u00B4Artigiano del Legno GmbH"},
                           {485, u"Hauptstraße"},
                           {520, u"7"},
                           {555, u"München"},
                           {575, u"BY"},
                           {620, u"80331"},
                           {672, u"DE"},
                           {675, u"A"},
                           {676, u"WPX"},
                           {679, u"2"},
                           {683, u"0000012500KGM3"},
                           {697, u"0000000,25MTQ3"},
                           {711, u"00001500,5EUR2"},
                           {725, u"Componenti in legno"},
                           {756, u"DAP"},
                           {759, u"P"},
                           {829, u"20240307"},
                           {847, u"MUC"}});
const std::u16string kParcel101Riga1 = FixedWidthRecord(206, {{1, u"FF0PCE"},
                                                              {7, u"CART-A"},
                                                              {90, u"15KGM3"},
                                                              {126, u"0,125MTQ3"},
                                                              {135, u"JD014600003827461001"},
                                                              {172, u"Gambe d\u00B4appoggio"}});
const std::u16string kParcel101Riga2 = FixedWidthRecord(206, {{1, u"FF0PCE"},
                                                              {7, u"CART-B"},
                                                              {88, u"1025KGM3"},
                                                              {126, u"0,125MTQ3"},
                                                              {135, u"JD014600003827461002"},
                                                              {172, u"Piano del tavolo"}});
const std::u16string kReport101 =
    u"1234567890|961234567|12.500|0,25|MUC|WPX|ORD-2024-0042|2|L\u00B4Artigiano del Legno GmbH|"
    u"Hauptstraße 7|München|80331|1500,5||\r\n";

// Shipment 102: long values cut, empty ones blank or zero-filled, a one-digit month that moves
// everything after it one place to the left (848 characters instead of 849).
const std::u16string kShipment102 =
    FixedWidthRecord(848, {{1, u"FF0SHP2"},
                           {8, u"00000000000042"},
                           {22, u"9876543210"},
                           {70, u"Cooperativa Agricola Produttori del"},
                           {362, u"IT"},
                           {365, u"A"},
                           {380, u"Rossi & Figli"},
                           {485, u"Piazza Maggiore"},
                           {520, u"1"},
                           {555, u"Bologna"},
                           {575, u"BO"},
                           {620, u"40124"},
                           {672, u"IT"},
                           {675, u"A"},
                           {676, u"N"},
                           {679, u"1"},
                           {683, u"00000012,5KGM3"},
                           {697, u"0000000000MTQ3"},
                           {711, u"0000000000EUR2"},
                           {725, u"Campioni di formaggio stagiona"},
                           {759, u"P"},
                           {829, u"2024315"}});
const std::u16string kParcel102Riga1 = FixedWidthRecord(
    206, {{1, u"FF0PCE"}, {92, u"KGM3"}, {131, u"MTQ3"}, {135, u"JD014600003827462001"}});
const std::u16string kReport102 =
    u"98765432109876|42|12,5|||N||1|Rossi & Figli|Piazza Maggiore 1|Bologna|40124|||\r\n";

// Shipment 103 has parcels but no header row.
const std::u16string kParcel103Riga1 = FixedWidthRecord(206, {{1, u"FF0PCE"},
                                                              {7, u"CART-Z"},
                                                              {91, u"2KGM3"},
                                                              {127, u"0,01MTQ3"},
                                                              {135, u"JD014600003827463001"},
                                                              {172, u"Ricambi"}});

class ManifestTest : public ::testing::TestWithParam<Engine> {
 protected:
  ManifestTest() : database_(GetParam(), folder_.path() + "archivio.fdb") {
    database_.ExecuteScript(kShipments);
  }

  // A DHL manifest job with one entry per shipment, in this order.
  void AddManifest(int id, const std::vector<int>& shipments) {
    database_.Execute("INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES (" + std::to_string(id) +
                      ", 'DHL')");
    for (const int shipment : shipments) {
      database_.Execute("INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (" +
                        std::to_string(id) + ", " + std::to_string(shipment) + ")");
    }
  }
  WorkerRun RunManifest(int id) {
    return RunWorker({database_.connection(), std::to_string(id), "0", "MANIFEST"});
  }
  std::u16string Stored(int id, const std::string& column) {
    return database_.Value("SELECT " + column + " FROM MANIFESTT WHERE ID=" + std::to_string(id),
                           column);
  }

  TempFolder folder_;
  JobDatabase database_;
};

TEST_P(ManifestTest, StoresTheRecordsAndTheReport) {
  struct Row {
    const char* name;
    int id;
    std::vector<int> shipments;
    std::vector<std::u16string> manifest;
    std::vector<std::u16string> report;
  };
  const Row rows[] = {
      {"one shipment with two parcels, in the order of RIGA",
       1,
       {101},
       {ManifestHeaderRecord(), kShipment101, kParcel101Riga1, kParcel101Riga2},
       {CourierReportTitle(), kReport101}},
      {"a shipment without header: its parcels follow the previous shipment's",
       2,
       {101, 103, 102},
       {ManifestHeaderRecord(), kShipment101, kParcel101Riga1, kParcel101Riga2, kParcel103Riga1,
        kShipment102, kParcel102Riga1},
       {CourierReportTitle(), kReport101, kReport102}},
      {"only a shipment without header",
       3,
       {103},
       {ManifestHeaderRecord(), kParcel103Riga1},
       {CourierReportTitle()}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AddManifest(row.id, row.shipments);
    const WorkerRun run = RunManifest(row.id);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(Stored(row.id, "ESITO"), u"000 - Completato");
    EXPECT_TRUE(SameText(Join(row.manifest), Stored(row.id, "MANIFEST")));
    EXPECT_TRUE(SameText(Join(row.report), Stored(row.id, "COURIERREPORT")));
  }
}

// The host runs the day's manifest again after adding a shipment: the joined rows now carry the
// texts stored by the first run, and the second run replaces them.
TEST_P(ManifestTest, RunAgainReplacesTheStoredTexts) {
  AddManifest(6, {101});
  EXPECT_EQ(RunManifest(6).exit_code, 0);
  database_.Execute("INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (6, 102)");
  const WorkerRun again = RunManifest(6);
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.standard_error, "");
  EXPECT_TRUE(SameText(Join({ManifestHeaderRecord(), kShipment101, kParcel101Riga1, kParcel101Riga2,
                             kShipment102, kParcel102Riga1}),
                       Stored(6, "MANIFEST")));
  EXPECT_TRUE(SameText(CourierReportTitle() + kReport101 + kReport102, Stored(6, "COURIERREPORT")));
}

TEST_P(ManifestTest, FailedUpdateKeepsTheStoredTextsAndShowsTheBox) {
  // A report column far too short for the report.
  database_.ExecuteScript(R"sql(
ALTER TABLE MANIFESTT DROP COURIERREPORT;
ALTER TABLE MANIFESTT ADD COURIERREPORT VARCHAR(20);
)sql");
  AddManifest(4, {101});
  database_.Execute(
      "UPDATE MANIFESTT SET MANIFEST='earlier manifest', COURIERREPORT='earlier report' "
      "WHERE ID=4");
  const std::u16string report = CourierReportTitle() + kReport101;
  const std::u16string statement = u"UPDATE MANIFESTT SET MANIFEST='" + ManifestHeaderRecord() +
                                   kShipment101 + kParcel101Riga1 + kParcel101Riga2 +
                                   u"', COURIERREPORT='" + report + u"'  WHERE ID=4";
  const std::u16string shown = statement.substr(0, 400);
  std::u16string one_line;
  for (const char16_t c : shown) {
    if (c != u'\n') one_line += c == u'\r' ? u' ' : c;
  }

  const WorkerRun run = RunManifest(4);
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(run.standard_error,
            "Impossibile aggiornare l'esito dell'elaborazione. Dynamic SQL Error; SQL error code = "
            "-303; arithmetic exception, numeric overflow, or string truncation; string right "
            "truncation; expected length 20, actual " +
                std::to_string(report.size()) + " [SQL: " + Utf16ToUtf8(one_line) + "...]\n");
  EXPECT_EQ(Stored(4, "ESITO"), u"002 - Errore nel popolamento");
  EXPECT_EQ(Stored(4, "MANIFEST"), u"earlier manifest");
  EXPECT_EQ(Stored(4, "COURIERREPORT"), u"earlier report");
}

TEST_P(ManifestTest, IdentifierThatIsNotANumberEndsTheJobBeforeItsStatement) {
  struct Row {
    const char* name;
    const char* setup;
    std::string line;
  };
  const Row rows[] = {
      {"shipment of the manifest row", R"sql(
ALTER TABLE MANIFESTR ALTER TESTATASPEDIZIONE TYPE VARCHAR(30);
INSERT INTO MANIFESTT (ID, TRASPORTATORE, ESITO) VALUES (5, 'DHL', 'before');
INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (5, '101 OR 1=1');
)sql",
       "vorlabws::IdentifierError: TESTATASPEDIZIONE '101 OR 1=1' is not a decimal integer\r\n"},
      // A text key still matches the job's numeric one, blanks and all.
      {"manifest identifier", R"sql(
DROP TABLE MANIFESTT;
CREATE TABLE MANIFESTT (ID VARCHAR(10), TRASPORTATORE VARCHAR(10), ESITO VARCHAR(200),
  MANIFEST BLOB SUB_TYPE TEXT, COURIERREPORT BLOB SUB_TYPE TEXT);
INSERT INTO MANIFESTT (ID, TRASPORTATORE, ESITO) VALUES (' 5', 'DHL', 'before');
INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (5, 101);
)sql",
       "vorlabws::IdentifierError: ID ' 5' is not a decimal integer\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder folder;
    JobDatabase database(GetParam(), folder.path() + "archivio.fdb");
    database.ExecuteScript(kShipments);
    database.ExecuteScript(row.setup);
    const WorkerRun run = RunWorker({database.connection(), "5", "0", "MANIFEST"});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.standard_output, row.line);
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(database.Value("SELECT ESITO FROM MANIFESTT", "ESITO"), u"before");
    EXPECT_EQ(database.Value("SELECT MANIFEST FROM MANIFESTT", "MANIFEST"), u"");
  }
}

// A busy day: thousands of shipments, megabytes of text, far past what a statement literal holds.
TEST_P(ManifestTest, LargeManifestStoresAndReadsBackWhole) {
  constexpr int kShipmentCount = 2000;
  database_.Execute(R"sql(
EXECUTE BLOCK AS
  DECLARE I INTEGER = 1;
  DECLARE R INTEGER;
BEGIN
  INSERT INTO MANIFESTT (ID, TRASPORTATORE) VALUES (20, 'DHL');
  WHILE (I <= 2000) DO BEGIN
    INSERT INTO VORLABT (ID, TRASPORTATORE, MITT_FATTURAZIONE, NUMERO_SPEDIZIONE, MITT_RAGSOC,
      DEST_RAGSOC, DEST_VIA, DEST_NRCIVICO, DEST_CITTA, DEST_CAP, DEST_NAZIONE,
      TOTALE_SEGNA_COLLI, PESO_TOT, ANNO, MESE, GIORNO, ZONA_SEGNACOLLO)
      VALUES (1000 + :I, 'DHL', '961234567', 5000000000 + :I, 'Vorlab S.r.l.',
      'Cliente d''Italia ' || :I, 'Via Roma', :I, 'Milano', '20121', 'IT', 3, :I || '.500', 2024,
      '11', '28', 'MIL');
    INSERT INTO MANIFESTR (TESTATA, TESTATASPEDIZIONE) VALUES (20, 1000 + :I);
    R = 1;
    WHILE (R <= 3) DO BEGIN
      INSERT INTO VORLABR (TESTATA, RIGA, PESO, NUMERO_SEGNA_COLLO, DESCRIZIONE_COLLO)
        VALUES (1000 + :I, :R, :R || '.5', 'JD' || (:I * 10 + :R), 'Collo d''esempio');
      R = R + 1;
    END
    I = I + 1;
  END
END
)sql");
  std::u16string manifest = ManifestHeaderRecord();
  std::u16string report = CourierReportTitle();
  for (int i = 1; i <= kShipmentCount; ++i) {
    const std::u16string number = Ascii(std::to_string(i));
    // The weight i.500 loses its dot and is filled with zeros to ten digits.
    const std::string digits = std::to_string(i) + "500";
    const std::u16string weight = Ascii(std::string(10 - digits.size(), '0') + digits);
    manifest += FixedWidthRecord(849, {{1, u"FF0SHP2"},
                                       {8, u"00000961234567"},
                                       {22, Ascii(std::to_string(5000000000LL + i))},
                                       {70, u"Vorlab S.r.l."},
                                       {365, u"A"},
                                       {380, u"Cliente d\u00B4Italia " + number},
                                       {485, u"Via Roma"},
                                       {520, number},
                                       {555, u"Milano"},
                                       {620, u"20121"},
                                       {672, u"IT"},
                                       {675, u"A"},
                                       {679, u"3"},
                                       {683, weight + u"KGM3"},
                                       {697, u"0000000000MTQ3"},
                                       {711, u"0000000000EUR2"},
                                       {759, u"P"},
                                       {829, u"20241128"},
                                       {847, u"MIL"}});
    for (int r = 1; r <= 3; ++r) {
      const std::u16string parcel = Ascii(std::to_string(i * 10 + r));
      manifest += FixedWidthRecord(206, {{1, u"FF0PCE"},
                                         {90, Ascii(std::to_string(r)) + u"5KGM3"},
                                         {131, u"MTQ3"},
                                         {135, u"JD" + parcel},
                                         {172, u"Collo d\u00B4esempio"}});
    }
    report += Ascii(std::to_string(5000000000LL + i)) + u"|961234567|" + number +
              u".500|||||3|Cliente d\u00B4Italia " + number + u"|Via Roma " + number +
              u"|Milano|20121|||\r\n";
  }

  const WorkerRun run = RunManifest(20);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.standard_output, "");
  EXPECT_EQ(run.standard_error, "");
  EXPECT_EQ(Stored(20, "ESITO"), u"000 - Completato");
  EXPECT_TRUE(SameText(manifest, Stored(20, "MANIFEST")));
  EXPECT_TRUE(SameText(report, Stored(20, "COURIERREPORT")));
}

INSTANTIATE_TEST_SUITE_P(Engines, ManifestTest,
                         ::testing::Values(Engine::kEmbedded, Engine::kServer),
                         [](const auto& info) { return EngineName(info.param); });

}  // namespace
}  // namespace vorlabws::testing
