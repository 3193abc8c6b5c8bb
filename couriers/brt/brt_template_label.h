// The worker's own BRT label: the values of the 25 placeholders of report/BRT.prn, the parcel
// number printed in two parts, the 17-digit parcel barcode and its check digit, and the box that
// shows the service type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "couriers/brt/brt_routing_request.h"
#include "couriers/brt/easyspeddews1.h"
#include "jobs/template_text.h"
#include "platform/failure.h"

namespace vorlabws {

// The template of the label, relative to the program folder.
inline constexpr std::u16string_view kBrtLabelTemplate = u"report/BRT.prn";

// A barcode that holds something other than digits (a negative number among its parts).
class BarcodeError : public Failure {
 public:
  using Failure::Failure;
};

// The parcel number as printed: the digits before its last three, four wide, and its last three;
// every "0" written as the letter "O".
struct ParcelNumberParts {
  std::u16string first;
  std::u16string second;
};
ParcelNumberParts SplitParcelNumber(int32_t NumeroSegnaCollo);

// Depot of the parcel mark (3), arrival depot (3), series (2), parcel number (7), zone (2).
std::u16string Barcode(const DestinationAddress2& Request, const DestinationAddressOut2& Response);

// The barcode followed by its mod-10 check digit (digits in odd places doubled, counting from 1 at
// the left). Raises BarcodeError on a character that is not a digit.
std::u16string WithCheckDigit(const std::u16string& barcode);

// The ZPL that boxes the service type letter; empty for "D"; none (the placeholder stays) for
// anything else.
std::optional<std::u16string> ServiceTypeBox(const std::u16string& TipoServizioBolle);

// The placeholders of the template in the order they are filled.
std::vector<Placeholder> TemplateLabelPlaceholders(const RoutingJob& job,
                                                   const DestinationAddressOut2& Response);

}  // namespace vorlabws
