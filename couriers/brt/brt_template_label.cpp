#include "couriers/brt/brt_template_label.h"

#include <algorithm>

#include "jobs/stampe.h"
#include "platform/code_page.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

// The printed series and parcel number show the letter "O" wherever a zero stands.
std::u16string ZeroAsLetterO(std::u16string text) {
  std::replace(text.begin(), text.end(), u'0', u'O');
  return text;
}

std::u16string Zeros(int64_t value, int32_t width) {
  return RiempiSinZero(IntToText(value), width);
}

}  // namespace

ParcelNumberParts SplitParcelNumber(int32_t NumeroSegnaCollo) {
  const std::u16string t = IntToText(NumeroSegnaCollo);
  const size_t lead = t.size() > 3 ? t.size() - 3 : 0;
  return {ZeroAsLetterO(RiempiSinZero(t.substr(0, lead), 4)), ZeroAsLetterO(t.substr(lead))};
}

std::u16string Barcode(const DestinationAddress2& Request, const DestinationAddressOut2& Response) {
  return Zeros(Request.FilialeSegnaCollo(), 3) + Zeros(Response.POArrivo(), 3) +
         Zeros(Request.NumeroSerie(), 2) + Zeros(Request.NumeroSegnaCollo(), 7) +
         Zeros(Response.ZonaSegnaCollo(), 2);
}

std::u16string WithCheckDigit(const std::u16string& barcode) {
  int sommaPari = 0;
  int sommaDispari = 0;
  for (size_t i = 1; i <= barcode.size(); ++i) {
    const char16_t c = barcode[i - 1];
    if (c < u'0' || c > u'9') {
      throw BarcodeError("Barcode '" + Utf16ToUtf8(barcode) +
                         "' holds a character that is not a digit");
    }
    const int d = c - u'0';
    if (i % 2 == 0) {
      sommaPari += d;
    } else {
      const int doppio = 2 * d;
      sommaDispari += doppio > 9 ? doppio - 9 : doppio;  // the sum of its two digits
    }
  }
  const int somma = sommaPari + sommaDispari;
  const int check = (10 - somma % 10) % 10;
  return barcode + IntToText(check);
}

std::optional<std::u16string> ServiceTypeBox(const std::u16string& TipoServizioBolle) {
  if (TipoServizioBolle == u"C") {
    return u"^FO000,240^GB065,065,03^FS\r\n^FO020,250^A0N,060,048^FDC^FS";
  }
  if (TipoServizioBolle == u"E") {
    return u"^FO000,240^GB065,065,60^FS\r\n^FO020,250^A0N,060,048^FR^FDE^FS";
  }
  if (TipoServizioBolle == u"H") {
    return u"^FO000,240^GB065,065,60^FS\r\n^FO020,250^A0N,060,048^FR^FDH^FS";
  }
  if (TipoServizioBolle == u"D") return u"";
  return std::nullopt;
}

std::vector<Placeholder> TemplateLabelPlaceholders(const RoutingJob& job,
                                                   const DestinationAddressOut2& Response) {
  const DestinationAddress2& Request = job.Request;
  const ParcelNumberParts parcel = SplitParcelNumber(Request.NumeroSegnaCollo());
  std::vector<Placeholder> placeholders = {
      {u"@MITT_RAGSOC@", Request.MittenteRagioneSociale().substr(0, 25)},
      {u"@MITT_PROVINCIA@", Request.MittenteProvincia()},
      {u"@DEST_RAGSOC@", Request.DestinatarioRagioneSociale().substr(0, 25)},
      {u"@DEST_PROVINCIA@", Response.DestinatarioProvincia()},
      {u"@DEST_VIA@", job.DestinatarioVia},
      {u"@DEST_NRCIVICO@", job.DestinatarioNrCivico},
      {u"@DEST_CITTA@", Request.DestinatarioLocalita()},
      {u"@VOLUME@", job.Volume},
      {u"@NUMERO_SEGNA_COLLO_DI@", IntToText(Request.NumSegnaColloDi())},
      {u"@TOTALE_SEGNACOLLI@", IntToText(Request.TotSegnaColli())},
      {u"@NUMERO_SERIE@", ZeroAsLetterO(Zeros(Request.NumeroSerie(), 2))},
      {u"@PESO@", job.Peso},
      {u"@MESE@", job.MeseSpedizione},
      {u"@ANNO@", IntToText(Request.AnnoSpedizione())},
      {u"@GIORNO@", job.GiornoSpedizione},
      {u"@ZONA_SEGNACOLLO@", RiempiSin(IntToText(Response.ZonaSegnaCollo()), 2)},
  };
  if (std::optional<std::u16string> box = ServiceTypeBox(Request.TipoServizioBolle())) {
    placeholders.push_back({u"@TIPO_SERVIZIO_BOLLE@", std::move(*box)});
  }
  const std::vector<Placeholder> rest = {
      {u"@PO_SEGNACOLLO@", Zeros(Request.FilialeSegnaCollo(), 3)},
      {u"@NUMERO_SEGNA_COLLO_1@", parcel.first},
      {u"@NUMERO_SEGNA_COLLO_2@", parcel.second},
      {u"@TERMINAL_ARRIVO@", Zeros(Response.TerminalArrivo(), 3)},
      {u"@PO_ARRIVO@", Zeros(Response.POArrivo(), 3)},
      {u"@MITT_SPEDIZIONE@", job.mitt_spedizione},
      {u"@CODICE_CARTONE@", job.codice_cartone},
      {u"@PO_BARCODE@", WithCheckDigit(Barcode(Request, Response))},
  };
  placeholders.insert(placeholders.end(), rest.begin(), rest.end());
  return placeholders;
}

}  // namespace vorlabws
