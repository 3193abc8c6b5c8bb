#include "couriers/brt/brt_label_request.h"

#include <string>

namespace vorlabws {

LabelToPrint_tipiEtichetta LabelType(int32_t tipo_etichetta) {
  if (tipo_etichetta < 0 || tipo_etichetta > 3) {
    throw LabelTypeError("TIPO_ETICHETTA " + std::to_string(tipo_etichetta) +
                         " is not a label type (0 to 3)");
  }
  return static_cast<LabelToPrint_tipiEtichetta>(tipo_etichetta);
}

ArrayOfLabelToPrint LabelRequest(const DestinationAddress2& Destination,
                                 const DestinationAddressOut2& DestinationOut,
                                 const std::u16string& mitt_spedizione,
                                 LabelToPrint_tipiEtichetta tipo_etichetta) {
  auto Etichetta = std::make_unique<LabelToPrint2>();
  // The routing records' 16-bit numbers widen with their sign.
  Etichetta->SetAnnoSpedizione(Destination.AnnoSpedizione());
  Etichetta->SetCodiceIsoNazione(DestinationOut.NazioneISO());
  Etichetta->SetCodiceProdotto(mitt_spedizione);
  Etichetta->SetDestinatarioCap(Destination.DestinatarioCap());
  Etichetta->SetDestinatarioIndirizzo(Destination.DestinatarioIndirizzo());
  Etichetta->SetDestinatarioLocalita(Destination.DestinatarioLocalita());
  Etichetta->SetDestinatarioProvincia(DestinationOut.DestinatarioProvincia());
  Etichetta->SetDestinatarioRagioneSociale(Destination.DestinatarioRagioneSociale());
  Etichetta->SetPOSegnacollo(Destination.FilialeSegnaCollo());
  Etichetta->SetFlagRistampa(Destination.Ristampa());
  Etichetta->SetFlagVolumeBollettato(Destination.FlagVolumeBollettato());
  Etichetta->SetMeseGiornoSpedizione(Destination.MeseGiornoSpedizione());
  Etichetta->SetMittenteProvincia(Destination.MittenteProvincia());
  Etichetta->SetMittenteRagioneSociale(Destination.MittenteRagioneSociale());
  Etichetta->SetNumeroSegnaCollo(Destination.NumeroSegnaCollo());
  Etichetta->SetNumeroSegnaColloDi(Destination.NumSegnaColloDi());
  Etichetta->SetNumeroSerie(Destination.NumeroSerie());
  Etichetta->SetPeso(Destination.Peso());
  Etichetta->SetPOArrivo(DestinationOut.POArrivo());
  Etichetta->SetPOArrivoDescrizione(DestinationOut.POArrivoDes());
  Etichetta->SetPOPartenza(Destination.POPartenza());
  Etichetta->SetPOPartenzaDescrizione(DestinationOut.POPartenzaDes());
  Etichetta->SetTerminalArrivo(DestinationOut.TerminalArrivo());
  Etichetta->SetTipoServizioBolle(Destination.TipoServizioBolle());
  Etichetta->SetTipoStampaNetwork(DestinationOut.TipoStampaNetwork());
  Etichetta->SetTotaleSegnaColli(Destination.TotSegnaColli());
  Etichetta->SetVolume(Destination.Volume());
  Etichetta->SetZonaSegnaCollo(DestinationOut.ZonaSegnaCollo());
  Etichetta->SetTipoEtichetta(tipo_etichetta);
  ArrayOfLabelToPrint labels;
  labels.push_back(std::move(Etichetta));
  return labels;
}

ArrayOfLabelToPrint JobLabelRequest(const ColumnReader& job, const DestinationAddress2& Destination,
                                    const DestinationAddressOut2& DestinationOut) {
  return LabelRequest(Destination, DestinationOut, job.Text(u"MITT_SPEDIZIONE"),
                      LabelType(job.Integer(u"TIPO_ETICHETTA")));
}

}  // namespace vorlabws
