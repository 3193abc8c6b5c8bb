// The pieces of a BRT label job that need no service: the parcel barcode and its check digit, the
// parcel number parts, the service-type box, the weight and volume texts, the placeholder values
// of the worker's own label, the courier's label request and the statements that store it all.
#include <gtest/gtest.h>

#include "couriers/brt/brt_job_updates.h"
#include "couriers/brt/brt_label_request.h"
#include "couriers/brt/brt_template_label.h"
#include "platform/code_page.h"
#include "tests/brt/record_text.h"

namespace vorlabws {
namespace {

using testing::MembersText;

TEST(BrtBarcodeTest, CheckDigit) {
  struct Row {
    const char* name;
    std::u16string barcode;
    std::u16string with_check_digit;
  };
  const Row rows[] = {
      {"worked example: odd places 27, even places 22", u"01234501123456705",
       u"012345011234567051"},
      {"seventeen zeros", u"00000000000000000", u"000000000000000000"},
      {"depot 12 to depot 100, zone 12", u"01210001123456712", u"012100011234567122"},
      {"nines doubled", u"01210001123456799", u"012100011234567999"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WithCheckDigit(row.barcode), row.with_check_digit);
  }
}

TEST(BrtBarcodeTest, PartsAreZeroFilledAndANegativePartIsRefused) {
  struct Row {
    const char* name;
    int16_t filiale, po_arrivo, serie;
    int32_t collo;
    int16_t zona;
    std::u16string barcode;
    std::string failure;  // empty: the check digit is appended
  };
  const Row rows[] = {
      {"worked example", 12, 345, 1, 1234567, 5, u"01234501123456705", ""},
      {"parcel number of eight digits loses its last", 12, 345, 1, 12345678, 5,
       u"01234501123456705", ""},
      {"negative zone", 12, 100, 1, 1234567, -1, u"012100011234567-1",
       "Barcode '012100011234567-1' holds a character that is not a digit"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DestinationAddress2 request;
    request.SetFilialeSegnaCollo(row.filiale);
    request.SetNumeroSerie(row.serie);
    request.SetNumeroSegnaCollo(row.collo);
    DestinationAddressOut2 reply;
    reply.SetPOArrivo(row.po_arrivo);
    reply.SetZonaSegnaCollo(row.zona);
    const std::u16string barcode = Barcode(request, reply);
    EXPECT_EQ(barcode, row.barcode);
    if (row.failure.empty()) continue;
    try {
      WithCheckDigit(barcode);
      ADD_FAILURE() << "no failure";
    } catch (const BarcodeError& failure) {
      EXPECT_EQ(failure.what(), row.failure);
    }
  }
}

TEST(BrtParcelNumberTest, PartsWithTheLetterO) {
  struct Row {
    const char* name;
    int32_t number;
    std::u16string first, second;
  };
  const Row rows[] = {
      {"1000", 1000, u"OOO1", u"OOO"},
      {"two digits", 42, u"OOOO", u"42"},
      {"three digits", 305, u"OOOO", u"3O5"},
      {"eight digits", 12345678, u"1234", u"678"},
      {"zero", 0, u"OOOO", u"O"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ParcelNumberParts parts = SplitParcelNumber(row.number);
    EXPECT_EQ(parts.first, row.first);
    EXPECT_EQ(parts.second, row.second);
  }
}

TEST(BrtServiceTypeBoxTest, ByServiceType) {
  struct Row {
    const char* name;
    std::u16string type;
    std::optional<std::u16string> box;
  };
  const Row rows[] = {
      {"C: outlined box", u"C", u"^FO000,240^GB065,065,03^FS\r\n^FO020,250^A0N,060,048^FDC^FS"},
      {"E: filled box, letter reversed", u"E",
       u"^FO000,240^GB065,065,60^FS\r\n^FO020,250^A0N,060,048^FR^FDE^FS"},
      {"H: filled box, letter reversed", u"H",
       u"^FO000,240^GB065,065,60^FS\r\n^FO020,250^A0N,060,048^FR^FDH^FS"},
      {"D: no box", u"D", u""},
      {"lower-case c", u"c", std::nullopt},
      {"empty", u"", std::nullopt},
      {"another letter", u"X", std::nullopt},
      {"blank after the letter", u"C ", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ServiceTypeBox(row.type), row.box);
  }
}

TEST(BrtLabelDecimalTest, RoundedWithHalvesToEven) {
  struct Row {
    const char* name;
    std::u16string sent;
    int decimals;
    std::u16string printed;
  };
  const Row rows[] = {
      {"weight cut to one decimal", u"12.34", 1, u"12,3"},
      {"whole weight", u"12", 1, u"12"},
      {"weight half to even, down", u"12.25", 1, u"12,2"},
      {"weight half to even, up", u"12.35", 1, u"12,4"},
      {"weight with three decimals as stored", u"12.500", 1, u"12,5"},
      {"volume cut to three decimals", u"0.1234", 3, u"0,123"},
      {"volume half to even", u"0.0625", 3, u"0,062"},
      {"volume zero", u"0", 3, u"0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(LabelDecimalText(XsdDecimal(row.sent), row.decimals), row.printed);
  }
}

TEST(BrtLabelDecimalTest, TextsThatAreNoNumberAreRefused) {
  struct Row {
    const char* name;
    std::u16string sent;
    std::string failure;
  };
  const Row rows[] = {
      {"empty", u"", "'' is not a valid floating point value"},
      {"point and comma", u"1.234.5", "'1,234,5' is not a valid floating point value"},
      {"letters", u"12kg", "'12kg' is not a valid floating point value"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      LabelDecimalText(XsdDecimal(row.sent), 1);
      ADD_FAILURE() << "no failure";
    } catch (const ConvertError& failure) {
      EXPECT_EQ(failure.what(), row.failure);
    }
  }
}

// The worked example of the label: depot 12 to depot 345, series 1, parcel 1234567, zone 5.
RoutingJob ExampleJob() {
  RoutingJob job;
  DestinationAddress2& request = job.Request;
  request.SetAnnoSpedizione(2024);
  request.SetDestinatarioLocalita(u"MILANO");
  request.SetDestinatarioRagioneSociale(u"L'Officina del Gusto di Rossi & Figli");
  request.SetFilialeSegnaCollo(12);
  request.SetMittenteProvincia(u"BO");
  request.SetMittenteRagioneSociale(u"Vorlab Forniture Industriali S.r.l.");
  request.SetNumSegnaColloDi(2);
  request.SetNumeroSegnaCollo(1234567);
  request.SetNumeroSerie(1);
  request.SetTipoServizioBolle(u"C");
  request.SetTotSegnaColli(3);
  job.DestinatarioVia = u"Via dell'Orso";
  job.DestinatarioNrCivico = u"12/A";
  job.MeseSpedizione = u"03";
  job.GiornoSpedizione = u"07";
  job.Peso = u"12,2";
  job.Volume = u"0,062";
  job.mitt_spedizione = u"RIF-0042";
  job.codice_cartone = u"CRT-9";
  return job;
}

DestinationAddressOut2 ExampleReply() {
  DestinationAddressOut2 reply;
  reply.SetDestinatarioProvincia(u"MI");
  reply.SetPOArrivo(345);
  reply.SetTerminalArrivo(7);
  reply.SetZonaSegnaCollo(5);
  return reply;
}

std::string PlaceholdersText(const std::vector<Placeholder>& placeholders) {
  std::string text;
  for (const Placeholder& placeholder : placeholders) {
    text += Utf16ToUtf8(placeholder.name) + "=" + Utf16ToUtf8(placeholder.value) + "\n";
  }
  return text;
}

TEST(BrtTemplateLabelTest, PlaceholdersInOrder) {
  EXPECT_EQ(PlaceholdersText(TemplateLabelPlaceholders(ExampleJob(), ExampleReply())),
            "@MITT_RAGSOC@=Vorlab Forniture Industri\n"
            "@MITT_PROVINCIA@=BO\n"
            "@DEST_RAGSOC@=L'Officina del Gusto di R\n"
            "@DEST_PROVINCIA@=MI\n"
            "@DEST_VIA@=Via dell'Orso\n"
            "@DEST_NRCIVICO@=12/A\n"
            "@DEST_CITTA@=MILANO\n"
            "@VOLUME@=0,062\n"
            "@NUMERO_SEGNA_COLLO_DI@=2\n"
            "@TOTALE_SEGNACOLLI@=3\n"
            "@NUMERO_SERIE@=O1\n"
            "@PESO@=12,2\n"
            "@MESE@=03\n"
            "@ANNO@=2024\n"
            "@GIORNO@=07\n"
            "@ZONA_SEGNACOLLO@= 5\n"
            "@TIPO_SERVIZIO_BOLLE@=^FO000,240^GB065,065,03^FS\r\n^FO020,250^A0N,060,048^FDC^FS\n"
            "@PO_SEGNACOLLO@=012\n"
            "@NUMERO_SEGNA_COLLO_1@=1234\n"
            "@NUMERO_SEGNA_COLLO_2@=567\n"
            "@TERMINAL_ARRIVO@=007\n"
            "@PO_ARRIVO@=345\n"
            "@MITT_SPEDIZIONE@=RIF-0042\n"
            "@CODICE_CARTONE@=CRT-9\n"
            "@PO_BARCODE@=012345011234567051\n");
}

TEST(BrtTemplateLabelTest, UnknownServiceTypeLeavesItsPlaceholder) {
  RoutingJob job = ExampleJob();
  job.Request.SetTipoServizioBolle(u"c");
  const std::u16string label = FillPlaceholders(u"@TIPO_SERVIZIO_BOLLE@\r\n^FD@PO_BARCODE@^FS\r\n",
                                                TemplateLabelPlaceholders(job, ExampleReply()));
  EXPECT_EQ(label, u"@TIPO_SERVIZIO_BOLLE@\r\n^FD012345011234567051^FS\r\n");
}

TEST(BrtLabelRequestTest, TwentyNineMembersFromRequestReplyAndJob) {
  DestinationAddress2 request;
  request.SetAnnoSpedizione(2024);
  request.SetDestinatarioCap(u"20121");
  request.SetDestinatarioIndirizzo(u"Via dell'Orso, 12/A");
  request.SetDestinatarioLocalita(u"MILANO");
  request.SetDestinatarioRagioneSociale(u"L'Officina del Gusto di Rossi & Figli");
  request.SetFilialeSegnaCollo(-2);
  request.SetFlagVolumeBollettato(u"");
  request.SetMeseGiornoSpedizione(307);
  request.SetMittenteProvincia(u"BO");
  request.SetMittenteRagioneSociale(u"Vorlab Forniture Industriali S.r.l.");
  request.SetNumSegnaColloDi(2);
  request.SetNumeroSegnaCollo(1234567);
  request.SetNumeroSerie(1);
  request.SetPOPartenza(170);
  request.SetPeso(std::make_shared<XsdDecimal>(u"12.25"));
  request.SetRistampa(u"");
  request.SetTipoServizioBolle(u"E");
  request.SetTotSegnaColli(3);
  request.SetVolume(std::make_shared<XsdDecimal>(u"0.0625"));
  DestinationAddressOut2 reply = ExampleReply();
  reply.SetNazioneISO(u"IT");
  reply.SetPOArrivoDes(u"VALLE D'AOSTA");
  reply.SetPOPartenzaDes(u"ROMA");
  reply.SetTipoStampaNetwork(u"N");
  reply.SetZonaSegnaCollo(-1);

  const ArrayOfLabelToPrint labels =
      LabelRequest(request, reply, u"RIF-0042", LabelToPrint_tipiEtichetta::_2);
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->Peso(), request.Peso());
  EXPECT_EQ(labels[0]->Volume(), request.Volume());
  EXPECT_EQ(MembersText(*labels[0]),
            "AnnoSpedizione=2024\n"
            "CodiceIsoNazione=IT\n"
            "CodiceProdotto=RIF-0042\n"
            "DestinatarioCap=20121\n"
            "DestinatarioIndirizzo=Via dell'Orso, 12/A\n"
            "DestinatarioLocalita=MILANO\n"
            "DestinatarioProvincia=MI\n"
            "DestinatarioRagioneSociale=L'Officina del Gusto di Rossi & Figli\n"
            "FlagRistampa=\n"
            "FlagVolumeBollettato=\n"
            "MeseGiornoSpedizione=307\n"
            "MittenteProvincia=BO\n"
            "MittenteRagioneSociale=Vorlab Forniture Industriali S.r.l.\n"
            "NumeroSegnaCollo=1234567\n"
            "NumeroSegnaColloDi=2\n"
            "NumeroSerie=1\n"
            "POArrivo=345\n"
            "POArrivoDescrizione=VALLE D'AOSTA\n"
            "POPartenza=170\n"
            "POPartenzaDescrizione=ROMA\n"
            "POSegnacollo=-2\n"
            "Peso=12.25\n"
            "TerminalArrivo=7\n"
            "TipoEtichetta=2\n"
            "TipoServizioBolle=E\n"
            "TipoStampaNetwork=N\n"
            "TotaleSegnaColli=3\n"
            "Volume=0.0625\n"
            "ZonaSegnaCollo=-1\n");
}

TEST(BrtLabelRequestTest, LabelTypes) {
  struct Row {
    const char* name;
    int32_t column;
    std::string failure;  // empty: accepted
  };
  const Row rows[] = {
      {"first", 0, ""},
      {"last", 3, ""},
      {"past the last", 4, "TIPO_ETICHETTA 4 is not a label type (0 to 3)"},
      {"negative", -1, "TIPO_ETICHETTA -1 is not a label type (0 to 3)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      EXPECT_EQ(static_cast<int>(LabelType(row.column)), row.column);
      EXPECT_EQ(row.failure, "");
    } catch (const LabelTypeError& failure) {
      EXPECT_EQ(failure.what(), row.failure);
    }
  }
}

TEST(BrtJobStatementsTest, HeaderUpdateWithApostrophesAndNegativeNumbers) {
  IBDatabase unattached;
  IBTransaction transaction(unattached);
  IBQuery query(unattached, transaction);
  DestinationAddressOut2 reply;
  reply.SetZonaSegnaCollo(-1);
  reply.SetPOArrivo(57);
  reply.SetPOArrivoDes(u"VALLE D'AOSTA");
  reply.SetPOPartenzaDes(u"L'AQUILA");
  reply.SetTerminalArrivo(58);
  query.SQL.Add(u"SELECT 1 FROM RDB$DATABASE");
  LoadBrtHeaderUpdate(query, reply, u"15");
  EXPECT_EQ(query.SQL.Text(),
            u"UPDATE VORLABT SET\r\n"
            u" ZONA_SEGNACOLLO='-1',\r\n"
            u" PO_ARRIVO='57',\r\n"
            u" PO_ARRIVO_DESCRIZIONE='VALLE D\u00B4AOSTA',\r\n"
            u" PO_PARTENZA_DESCRIZIONE='L\u00B4AQUILA',\r\n"
            u" TERMINAL_ARRIVO='58'\r\n"
            u" WHERE ID=15");
  EXPECT_TRUE(query.SQL.ParameterValues().empty());
}

TEST(BrtJobStatementsTest, RowUpdateSendsTheLabelsAsParameters) {
  IBDatabase unattached;
  IBTransaction transaction(unattached);
  IBQuery query(unattached, transaction);
  LoadBrtRowUpdate(query, u"^XA\n^FDL'AQUILA^FS\n^XZ\n", u"^XA\r\n^FDDELL'ORSO 'A'^FS\r\n", u"15",
                   u"2");
  EXPECT_EQ(query.SQL.Text(),
            u"UPDATE VORLABR SET\r\n"
            u" REPORT_ETICHETTA='^XA\n^FDL\u00B4AQUILA^FS\n^XZ\n',\r\n"
            u" REPORT_CUSTOM='^XA\r\n^FDDELL\u00B4ORSO \u00B4A\u00B4^FS\r\n'\r\n"
            u" WHERE TESTATA=15 AND RIGA=2");
  EXPECT_EQ(query.SQL.ServerText(),
            u"UPDATE VORLABR SET\r\n"
            u" REPORT_ETICHETTA=?,\r\n"
            u" REPORT_CUSTOM=?\r\n"
            u" WHERE TESTATA=15 AND RIGA=2");
}

}  // namespace
}  // namespace vorlabws
