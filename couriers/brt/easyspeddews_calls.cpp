#include "couriers/brt/easyspeddews_calls.h"

#include "couriers/brt/easyspeddews_contract.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

using easysped::Operation;

SoapRecordList Labels(const ArrayOfLabelToPrint& labels) {
  SoapRecordList list{easysped::kArrayItemName, {}};
  for (const auto& label : labels) list.items.push_back(label.get());
  return list;
}

SoapCall Call(const Operation& operation, std::vector<SoapParameter::Value> values) {
  SoapCall call{operation.name, operation.result, {}};
  for (size_t i = 0; i < values.size(); ++i) {
    call.parameters.push_back({operation.parameters[i], std::move(values[i])});
  }
  return call;
}

}  // namespace

SoapCall CalculateBRTSortCall(const DestinationAddress2& address) {
  return Call(easysped::kCalculateBRTSort, {&address});
}

SoapCall GetLabelForZebraPrinterCall(const ArrayOfLabelToPrint& labels, int32_t x, int32_t y) {
  return Call(easysped::kGetLabelForZebraPrinter, {Labels(labels), IntToText(x), IntToText(y)});
}

SoapCall GetLabelPDFCall(const ArrayOfLabelToPrint& labels, bool dialogToPrint,
                         int32_t fakeLabels) {
  return Call(easysped::kGetLabelPDF,
              {Labels(labels), dialogToPrint ? u"true" : u"false", IntToText(fakeLabels)});
}

SoapCall SayHelloCall(const std::u16string& name_) { return Call(easysped::kSayHello, {name_}); }

}  // namespace vorlabws
