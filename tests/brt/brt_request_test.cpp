// The routing request as a BRT label job builds it from its joined row in a real database: all 45
// members, the texts kept for the label, and the column values that stop the job before the
// service is called.
#include <gtest/gtest.h>

#include <functional>

#include "couriers/brt/brt_routing_request.h"
#include "platform/code_page.h"
#include "tests/brt/brt_job_support.h"
#include "tests/brt/record_text.h"

namespace vorlabws::testing {
namespace {

class BrtRequestTest : public ::testing::Test {
 protected:
  BrtRequestTest() : database_(Engine::kEmbedded, folder_.path() + "archivio.fdb") {
    // Some hosts keep weights as text: the job reads the column as text either way.
    database_.Execute("ALTER TABLE VORLABT ALTER PESO_TOT TYPE VARCHAR(30)");
  }

  RoutingJob Read(const BrtJobColumns& changes) {
    AddBrtJob(database_, next_testata_, 1, changes);
    const JobRecord row(database_, next_testata_++, 1);
    return ReadRoutingJob(row.query());
  }

  TempFolder folder_;
  JobDatabase database_;
  int next_testata_ = 1;
};

// Every column the request reads holds a value of its own, so a member read from the wrong
// column shows.
TEST_F(BrtRequestTest, EveryMemberFromTheJobRow) {
  const RoutingJob job = Read({{"PESO_TOT", "'12,25'"},
                               {"DEST_NAZIONE", "'SM'"},
                               {"FERMO_DEPOSITO", "'X'"},
                               {"MITT_NAZIONE", "'IT'"},
                               {"NETWORK", "'N'"},
                               {"PO_ARRIVO", "43"},
                               {"PO_ARRIVO_DESCRIZIONE", "'MILANO NORD'"},
                               {"PO_PARTENZA_DESCRIZIONE", "'BOLOGNA'"},
                               {"TERMINAL_ARRIVO", "77"},
                               {"ZONA_SEGNACOLLO", "9"}});
  EXPECT_EQ(MembersText(job.Request),
            "AnnoSpedizione=2024\n"
            "CampoInErrore=\n"
            "CodiceErrore=0\n"
            "CodiceProdotto=DPD\n"
            "DescrizioneErrore=\n"
            "DestinatarioCap=20121\n"
            "DestinatarioIndirizzo=Via dell'Orso, 12/A\n"
            "DestinatarioLocalita=MILANO\n"
            "DestinatarioNazione=SM\n"
            "DestinatarioProvincia=MI\n"
            "DestinatarioProvinciaAlt=\n"
            "DestinatarioRagioneSociale=L'Officina del Gusto di Rossi & Figli\n"
            "FermoDeposito=X\n"
            "FilialeSegnaCollo=12\n"
            "FlagVolumeBollettato=\n"
            "GestParticolaritaConsegna=\n"
            "GestParticolaritaContrassegno=\n"
            "GestParticolaritaGiacenza=\n"
            "GestParticolaritaVarie=\n"
            "MeseGiornoSpedizione=307\n"
            "MittenteNazione=IT\n"
            "MittenteProvincia=BO\n"
            "MittenteRagioneSociale=Vorlab Forniture Industriali S.r.l.\n"
            "Network=N\n"
            "NumSegnaColloDi=2\n"
            "NumeroSegnaCollo=1234567\n"
            "NumeroSerie=1\n"
            "POArrivo=43\n"
            "POArrivoDes=MILANO NORD\n"
            "POPartenza=170\n"
            "POPartenzaDes=BOLOGNA\n"
            "Peso=12.25\n"
            "PrimaConsegnaParticolare=\n"
            "RicercaPOArrivo=S\n"
            "Ristampa=\n"
            "SecondaConsegnaParticolare=\n"
            "TerminalArrivo=77\n"
            "TipoContrassegno=\n"
            "TipoLancio=\n"
            "TipoPorto=F\n"
            "TipoServizioBolle=E\n"
            "TipoStampante=1\n"
            "TotSegnaColli=3\n"
            "Volume=0.0625\n"
            "ZonaSegnaCollo=9\n");
  EXPECT_EQ(job.DestinatarioVia, u"Via dell'Orso");
  EXPECT_EQ(job.DestinatarioNrCivico, u"12/A");
  EXPECT_EQ(job.MeseSpedizione, u"03");
  EXPECT_EQ(job.GiornoSpedizione, u"07");
  EXPECT_EQ(job.Peso, u"12,2");
  EXPECT_EQ(job.Volume, u"0,062");
  EXPECT_EQ(job.mitt_spedizione, u"RIF-0042");
  EXPECT_EQ(job.codice_cartone, u"CRT-9");
}

// The member's line of the request text ("Name=value"), or the failure that stopped the reading.
std::string ReadMember(const std::function<RoutingJob()>& read, const std::string& member) {
  try {
    const std::string text = MembersText(read().Request);
    const size_t start = text.find("\n" + member + "=") + 1;
    return text.substr(start, text.find('\n', start) - start);
  } catch (const Failure& failure) {
    return failure.what();
  }
}

TEST_F(BrtRequestTest, ColumnValuesAsTheRequestReadsThem) {
  struct Row {
    const char* name;
    BrtJobColumns changes;
    std::string member;
    std::string read;  // the member's line, or the failure
  };
  const Row rows[] = {
      {"integer column NULL", {{"PO_ARRIVO", "NULL"}}, "POArrivo", "POArrivo=0"},
      {"16-bit member keeps the low 16 bits",
       {{"ANNO", "67560"}},
       "AnnoSpedizione",
       "AnnoSpedizione=2024"},
      {"16-bit member wraps to negative",
       {{"PO_SEGNACOLLO", "'32769'"}},
       "FilialeSegnaCollo",
       "FilialeSegnaCollo=-32767"},
      {"text of digits with leading blanks",
       {{"NUMERO_SEGNA_COLLO", "'  1234567'"}},
       "NumeroSegnaCollo",
       "NumeroSegnaCollo=1234567"},
      {"text with a sign",
       {{"NUMERO_SEGNA_COLLO", "'-42'"}},
       "NumeroSegnaCollo",
       "NumeroSegnaCollo=-42"},
      {"text with a trailing blank",
       {{"NUMERO_SEGNA_COLLO", "'1234567 '"}},
       "NumeroSegnaCollo",
       "'1234567 ' is not a valid integer value"},
      {"empty text",
       {{"NUMERO_SEGNA_COLLO", "''"}},
       "NumeroSegnaCollo",
       "'' is not a valid integer value"},
      {"text NULL", {{"NUMERO_SEGNA_COLLO", "NULL"}}, "NumeroSegnaCollo", "NumeroSegnaCollo=0"},
      {"letters",
       {{"PO_SEGNACOLLO", "'12A'"}},
       "FilialeSegnaCollo",
       "'12A' is not a valid integer value"},
      {"decimal text",
       {{"ZONA_SEGNACOLLO", "'1,5'"}},
       "ZonaSegnaCollo",
       "'1,5' is not a valid integer value"},
      {"month and day of one digit",
       {{"MESE", "'3'"}, {"GIORNO", "'7'"}},
       "MeseGiornoSpedizione",
       "MeseGiornoSpedizione=37"},
      {"empty month and day",
       {{"MESE", "''"}, {"GIORNO", "''"}},
       "MeseGiornoSpedizione",
       "'' is not a valid integer value"},
      {"month that is no number",
       {{"MESE", "'O3'"}},
       "MeseGiornoSpedizione",
       "'O307' is not a valid integer value"},
      {"weight with a comma", {{"PESO_TOT", "'1,5'"}}, "Peso", "Peso=1.5"},
      {"weight with point and comma",
       {{"PESO_TOT", "'1.234,5'"}},
       "Peso",
       "'1,234,5' is not a valid floating point value"},
      {"empty weight", {{"PESO_TOT", "''"}}, "Peso", "'' is not a valid floating point value"},
      {"no volume", {{"VOLUME_TOT", "NULL"}}, "Volume", "'' is not a valid floating point value"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReadMember([&] { return Read(row.changes); }, row.member), row.read);
  }
}

TEST_F(BrtRequestTest, MissingColumnIsAFailure) {
  AddBrtJob(database_, 1, 1);
  database_.Execute("ALTER TABLE VORLABT DROP FERMO_DEPOSITO");
  const JobRecord row(database_, 1, 1);
  try {
    ReadRoutingJob(row.query());
    ADD_FAILURE() << "no failure";
  } catch (const DatabaseError& failure) {
    EXPECT_TRUE(std::string(failure.what()).starts_with("Field 'FERMO_DEPOSITO' not found"))
        << failure.what();
  }
}

}  // namespace
}  // namespace vorlabws::testing
