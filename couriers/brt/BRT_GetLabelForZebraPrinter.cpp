#include "couriers/brt/brt_label_request.h"
#include "jobs/Funzioni.h"

namespace vorlabws {

std::u16string TFunzioniForm::BRT_GetLabelForZebraPrinter(
    EasySpedDEWS& Service, const DestinationAddress2& Destination,
    const DestinationAddressOut2& DestinationOut) {
  const ArrayOfLabelToPrint labels =
      LabelRequest(Destination, DestinationOut, IBQuery1.FieldByName(u"MITT_SPEDIZIONE").AsString(),
                   LabelType(IBQuery1.FieldByName(u"TIPO_ETICHETTA").AsInteger()));
  return Service.GetLabelForZebraPrinter(labels, 110, 0);
}

}  // namespace vorlabws
