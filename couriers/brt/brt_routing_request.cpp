#include "couriers/brt/brt_routing_request.h"

#include <cstdint>

#include "platform/regional_format.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

class JobColumns {
 public:
  explicit JobColumns(const ColumnReader& job) : job_(job) {}

  std::u16string Text(const char16_t* column) const { return job_.Text(column); }
  int32_t Integer(const char16_t* column) const { return job_.Integer(column); }
  // The service's 16-bit members keep the low 16 bits of the column's value.
  int16_t Short(const char16_t* column) const { return static_cast<int16_t>(Integer(column)); }
  // The host writes decimals with a comma; the service reads them with a point.
  XsdDecimalRef Decimal(const char16_t* column) const {
    return std::make_shared<XsdDecimal>(ReplaceAll(Text(column), u",", u"."));
  }

 private:
  const ColumnReader& job_;
};

}  // namespace

std::u16string LabelDecimalText(const XsdDecimal& value, int decimals) {
  double scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const double number = TextToFloat(ReplaceAll(value.Text(), u".", u","));
  return FloatToText(RoundHalfEven(number * scale) / scale);
}

RoutingJob ReadRoutingJob(const ColumnReader& job) {
  const JobColumns columns(job);
  RoutingJob routing;
  DestinationAddress2& request = routing.Request;
  request.SetAnnoSpedizione(columns.Short(u"ANNO"));
  request.SetCampoInErrore(u"");
  request.SetCodiceErrore(u"0");
  request.SetCodiceProdotto(columns.Text(u"PRODOTTO"));
  request.SetDescrizioneErrore(u"");
  request.SetDestinatarioCap(columns.Text(u"DEST_CAP"));
  routing.DestinatarioVia = columns.Text(u"DEST_VIA");
  routing.DestinatarioNrCivico = columns.Text(u"DEST_NRCIVICO");
  request.SetDestinatarioIndirizzo(routing.DestinatarioVia + u", " + routing.DestinatarioNrCivico);
  request.SetDestinatarioLocalita(columns.Text(u"DEST_CITTA"));
  request.SetDestinatarioNazione(columns.Text(u"DEST_NAZIONE"));
  request.SetDestinatarioProvincia(columns.Text(u"DEST_PROVINCIA"));
  request.SetDestinatarioProvinciaAlt(u"");
  request.SetDestinatarioRagioneSociale(columns.Text(u"DEST_RAGSOC"));
  request.SetFermoDeposito(columns.Text(u"FERMO_DEPOSITO"));
  request.SetFilialeSegnaCollo(columns.Short(u"PO_SEGNACOLLO"));
  request.SetFlagVolumeBollettato(u"");
  request.SetGestParticolaritaConsegna(u"");
  request.SetGestParticolaritaContrassegno(u"");
  request.SetGestParticolaritaGiacenza(u"");
  request.SetGestParticolaritaVarie(u"");
  routing.MeseSpedizione = columns.Text(u"MESE");
  routing.GiornoSpedizione = columns.Text(u"GIORNO");
  // "03" and "07" make 307: month times 100 plus day.
  request.SetMeseGiornoSpedizione(
      static_cast<int16_t>(TextToInteger(routing.MeseSpedizione + routing.GiornoSpedizione)));
  request.SetMittenteNazione(columns.Text(u"MITT_NAZIONE"));
  request.SetMittenteProvincia(columns.Text(u"MITT_PROVINCIA"));
  request.SetMittenteRagioneSociale(columns.Text(u"MITT_RAGSOC"));
  request.SetNetwork(columns.Text(u"NETWORK"));
  request.SetNumSegnaColloDi(columns.Integer(u"NUMERO_SEGNA_COLLO_DI"));
  request.SetNumeroSegnaCollo(columns.Integer(u"NUMERO_SEGNA_COLLO"));
  request.SetNumeroSerie(columns.Short(u"NUMERO_SERIE"));
  request.SetPOArrivo(columns.Short(u"PO_ARRIVO"));
  request.SetPOArrivoDes(columns.Text(u"PO_ARRIVO_DESCRIZIONE"));
  request.SetPOPartenza(columns.Short(u"PO_PARTENZA"));
  request.SetPOPartenzaDes(columns.Text(u"PO_PARTENZA_DESCRIZIONE"));
  request.SetPeso(columns.Decimal(u"PESO_TOT"));
  routing.Peso = LabelDecimalText(*request.Peso(), 1);
  request.SetPrimaConsegnaParticolare(u"");
  request.SetRicercaPOArrivo(u"S");
  request.SetRistampa(u"");
  request.SetSecondaConsegnaParticolare(u"");
  request.SetTerminalArrivo(columns.Short(u"TERMINAL_ARRIVO"));
  request.SetTipoContrassegno(u"");
  request.SetTipoLancio(u"");
  request.SetTipoPorto(columns.Text(u"PORTO"));
  request.SetTipoServizioBolle(columns.Text(u"TIPO_SERVIZIO_BOLLE"));
  request.SetTipoStampante(u"1");
  request.SetTotSegnaColli(columns.Integer(u"TOTALE_SEGNA_COLLI"));
  request.SetVolume(columns.Decimal(u"VOLUME_TOT"));
  routing.Volume = LabelDecimalText(*request.Volume(), 3);
  request.SetZonaSegnaCollo(columns.Short(u"ZONA_SEGNACOLLO"));
  routing.mitt_spedizione = columns.Text(u"MITT_SPEDIZIONE");
  routing.codice_cartone = columns.Text(u"CODICECARTONE");
  return routing;
}

}  // namespace vorlabws
