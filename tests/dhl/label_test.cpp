// The program's own DHL label filled from a real job record: every placeholder in its order and
// the composed values (licence plate parts and groups, routing code parts, capitals, waybill kind).
#include <gtest/gtest.h>

#include "couriers/dhl/dhl_label.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

class LabelTest : public ::testing::Test {
 protected:
  std::u16string Fill(const std::u16string& label, const Columns& changes) {
    return FillLabel(label, jobs_.Add(changes)->query());
  }

  DhlJobRecords jobs_;
};

// What the reply's header update leaves in a job.
const Columns kRouted = {
    {"PRODOTTO", "'EXPRESS WORLDWIDE'"},
    {"CODICE_PRODOTTO", "'WPX'"},
    {"MITT_NAZIONE_DESCR", "'ITALY'"},
    {"MITT_FILIALE", "'MIL'"},
    {"DEST_NAZIONE_DESCR", "'germany'"},
    {"DEST_FILIALE", "'MUC'"},
    {"ZONA_SEGNACOLLO", "'MUC-80'"},
    {"PO_SEGNACOLLO", "'2L'"},
    {"PO_SEGNACOLLO_DESCR", "'DE80802+48000000'"},
};

TEST_F(LabelTest, EveryPlaceholderInItsOrder) {
  const std::u16string label =
      u"1=@PRODOTTO@|2=@CODICE_PRODOTTO@|3=@DEST_RAGSOC@|4=@DEST_VIA@|5=@DEST_NRCIVICO@|"
      u"6=@DEST_CAP@|7=@DEST_CITTA@|8=@MITT_RAGSOC@|9=@MITT_VIA@|10=@MITT_NRCIVICO@|"
      u"11=@MITT_CAP@|12=@MITT_CITTA@|13=@MITT_NAZIONE_DESCR@|14=@MITT_TELEFONO@|"
      u"15=@MITT_FATTURAZIONE@|16=@MITT_OPERATORE@|17=@DEST_INFO1@|18=@DEST_INFO2@|"
      u"19=@DEST_INFO3@|20=@MITT_FILIALE@|21=@DEST_NAZIONE_DESCR@|22=@DEST_NAZIONE@|"
      u"23=@DEST_FILIALE@|24=@ZONA_SEGNACOLLO@|25=@NUMERO_SPEDIZIONE@|"
      u"26=@DESCRIZIONE_SPEDIZIONE@|27=@RESA@|28=@ASSICURAZIONE_SPEDIZIONE@|29=@PESO_TOT@|"
      u"30=@VALORE_SPEDIZIONE@|31=@NUMERO_SEGNA_COLLO_DI@|32=@TOTALE_SEGNA_COLLI@|33=@ANNO@|"
      u"34=@MESE@|35=@GIORNO@|36=@PIECES_LP_1@|37=@PIECES_LP_2@|38=@PO_SEGNACOLLO_1@|"
      u"39=@PO_SEGNACOLLO_2@|40=@PO_SEGNACOLLO_3@|41=@PO_SEGNACOLLO_4@|42=@MITT_SPEDIZIONE@|"
      u"43=@NUMERO_SEGNA_COLLO_CHECK@|44=@NUMERO_SEGNA_COLLO@|45=@PO_SEGNACOLLO@|"
      u"46=@PO_SEGNACOLLO_DESCR@|47=@CODICE_CARTONE@|48=@TIPO_SPEDIZIONE@\r\n";
  Columns job = kRouted;
  // A value holding a later placeholder gets it filled; the routing value keeps its accent.
  job["DESCRIZIONE_SPEDIZIONE"] = "'Ricambi @RESA@'";
  job["MITT_OPERATORE"] = "'Anna D´Amico'";
  job["VALORE_SPEDIZIONE"] = "100.50";
  job["PESO_TOT"] = "'2,5'";
  EXPECT_EQ(Fill(label, job),
            u"1=EXPRESS WORLDWIDE|2=WPX|3=Müller GmbH|4=Leopoldstraße|5=5|6=80802|7=MüNCHEN|"
            u"8=Vorlab S.r.l.|9=Via Roma|10=12|11=20121|12=Milano|13=ITALY|14=+39 02 1234567|"
            u"15=123456789|16=Anna D´Amico|17=Hans Müller|18=+49 89 1234567|19=Magazzino B|"
            u"20=MIL|21=GERMANY|22=DE|23=MUC|24=MUC-80|25=1234567890|26=Ricambi DAP|27=DAP|"
            u"28=150.00|29=2,5|30=100.5|31=1|32=1|33=2024|34=03|35=07|36=JJD|"
            u"37=0146000062810001|38=2LDE|39=8080|40=2+|41=48000000|42=ORD-2024-0315|43=J|"
            u"44=JD01 4600 0062 8100 01|45=2L|46=DE80802 + 48000000|47=CT-0042|"
            u"48=AIR WAYBILL\r\n");
}

TEST_F(LabelTest, ComposedValues) {
  struct Row {
    const char* name;
    Columns changes;
    std::u16string filled;
  };
  const std::u16string label =
      u"@PIECES_LP_1@|@PIECES_LP_2@|@NUMERO_SEGNA_COLLO@|@PO_SEGNACOLLO_1@|@PO_SEGNACOLLO_2@|"
      u"@PO_SEGNACOLLO_3@|@PO_SEGNACOLLO_4@|@PO_SEGNACOLLO_DESCR@|@DEST_CITTA@|"
      u"@DEST_NAZIONE_DESCR@|@TIPO_SPEDIZIONE@";
  const Row rows[] = {
      {"licence plate in groups, routing code in four parts, capitals a to z only",
       {{"PO_SEGNACOLLO", "'2L'"},
        {"PO_SEGNACOLLO_DESCR", "'IT20100+73000000'"},
        {"DEST_CITTA", "'Forlì'"},
        {"DEST_NAZIONE_DESCR", "'côte d''ivoire'"}},
       u"JJD|0146000062810001|JD01 4600 0062 8100 01|2LIT|2010|0+|73000000|IT20100 + 73000000|"
       u"FORLì|CôTE D'IVOIRE|AIR WAYBILL"},
      {"sixteen characters end on a blank; a short routing code leaves parts empty",
       {{"NUMERO_SEGNA_COLLO", "'0123456789ABCDEF'"},
        {"PO_SEGNACOLLO", "'2L'"},
        {"PO_SEGNACOLLO_DESCR", "'IT2010X'"},
        {"NETWORK", "'N'"}},
       u"J01|23456789ABCDEF|0123 4567 89AB CDEF |2LIT|2010|X||IT2010X|MüNCHEN||WAYBILL"},
      {"one-character plate, no routing code",
       {{"NUMERO_SEGNA_COLLO", "'7'"}, {"NETWORK", "'p'"}},
       u"J7||7||||||MüNCHEN||WAYBILL"},
      {"no plate and no check value",
       {{"NUMERO_SEGNA_COLLO", "NULL"}, {"NUMERO_SEGNA_COLLO_CHECK", "NULL"}, {"NETWORK", "'PX'"}},
       u"||||||||MüNCHEN||WAYBILL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Fill(label, row.changes), row.filled);
  }
}

TEST_F(LabelTest, AirProductCodes) {
  struct Row {
    const char* network;
    std::u16string kind;
  };
  const Row rows[] = {
      {"U", u"AIR WAYBILL"}, {"3", u"AIR WAYBILL"}, {"0", u"AIR WAYBILL"}, {"1", u"AIR WAYBILL"},
      {"K", u"AIR WAYBILL"}, {"T", u"AIR WAYBILL"}, {"P", u"AIR WAYBILL"}, {"E", u"AIR WAYBILL"},
      {"Y", u"AIR WAYBILL"}, {"D", u"AIR WAYBILL"}, {"N", u"WAYBILL"},     {"p", u"WAYBILL"},
      {"PX", u"WAYBILL"},    {" P", u"WAYBILL"},    {"", u"WAYBILL"},      {"2", u"WAYBILL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.network);
    EXPECT_EQ(Fill(u"@TIPO_SPEDIZIONE@", {{"NETWORK", "'" + std::string(row.network) + "'"}}),
              row.kind);
  }
}

}  // namespace
}  // namespace vorlabws::testing
