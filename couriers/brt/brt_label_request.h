// The courier's label request: one LabelToPrint2 filled from the routing request as sent, the
// routing reply and two texts of the job row. The caller owns the list it gets back.
#pragma once

#include <cstdint>
#include <string>

#include "couriers/brt/easyspeddews1.h"
#include "db/column_reader.h"
#include "platform/failure.h"

namespace vorlabws {

// A label type outside the service's four, raised before the label is asked for.
class LabelTypeError : public Failure {
 public:
  using Failure::Failure;
};

// The label type read from the job: 0 to 3.
LabelToPrint_tipiEtichetta LabelType(int32_t tipo_etichetta);

// The list of one label with its 29 members set in member order; the other five stay unsent.
ArrayOfLabelToPrint LabelRequest(const DestinationAddress2& Destination,
                                 const DestinationAddressOut2& DestinationOut,
                                 const std::u16string& mitt_spedizione,
                                 LabelToPrint_tipiEtichetta tipo_etichetta);

// The same list with the sender's reference and the label type read from the job row.
ArrayOfLabelToPrint JobLabelRequest(const ColumnReader& job, const DestinationAddress2& Destination,
                                    const DestinationAddressOut2& DestinationOut);

}  // namespace vorlabws
