// The call of each operation of the service as the envelope writer takes it: the wire names of the
// operation, its parameters in declaration order and its result. The calls borrow the arguments.
#pragma once

#include <cstdint>
#include <string>

#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/soap_envelope.h"

namespace vorlabws {

SoapCall CalculateBRTSortCall(const DestinationAddress2& address);
SoapCall GetLabelForZebraPrinterCall(const ArrayOfLabelToPrint& labels, int32_t x, int32_t y);
SoapCall GetLabelPDFCall(const ArrayOfLabelToPrint& labels, bool dialogToPrint, int32_t fakeLabels);
// The parameter `name_` goes on the wire as "name".
SoapCall SayHelloCall(const std::u16string& name_);

}  // namespace vorlabws
