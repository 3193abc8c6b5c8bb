#include "couriers/brt/brt_label_request.h"
#include "jobs/Funzioni.h"

namespace vorlabws {

std::u16string TFunzioniForm::BRT_GetLabelForZebraPrinter(
    EasySpedDEWS& Service, const DestinationAddress2& Destination,
    const DestinationAddressOut2& DestinationOut) {
  return Service.GetLabelForZebraPrinter(JobLabelRequest(IBQuery1, Destination, DestinationOut),
                                         110, 0);
}

}  // namespace vorlabws
