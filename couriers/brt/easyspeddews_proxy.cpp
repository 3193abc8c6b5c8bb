// The service proxy behind GetEasySpedDEWS: binds each call to its endpoint, SOAP action and
// namespace (from the service description, read once, or from the fixed URL and the registered
// pattern), posts the envelope over its HTTP client and reads the reply.

#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/easyspeddews_calls.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/soap_reply.h"
#include "couriers/brt/wsdl.h"
#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

struct CallBinding {
  std::u16string endpoint;
  std::u16string action;
  std::u16string namespace_uri;
};

std::u16string RegisteredAction(std::u16string_view operation) {
  return ReplaceAll(easysped::kSoapActionPattern, easysped::kOperationNamePlaceholder, operation);
}

bool IsPlainTextType(const std::u16string& content_type) {
  return SameTextIgnoringCase(content_type, u"text/plain") ||
         SameTextIgnoringCase(content_type, u"text/html");
}

// One POST; the body is read only for a success or a 500, which carries a fault.
HttpResponse PostEnvelope(HttpClient& client, const CallBinding& binding,
                          const std::string& envelope) {
  HttpResponse response;
  try {
    response = client.Post(
        binding.endpoint,
        {{u"Content-Type", u"text/xml; charset=\"" + std::u16string(easysped::kEncoding) + u"\""},
         {u"SOAPAction", u"\"" + binding.action + u"\""}},
        envelope, [](long status) { return status <= 299 || status == 500; });
  } catch (const HttpError& error) {
    throw TransportFailure(std::string(error.what()) +
                           " - SOAPAction:" + Utf16ToUtf8(binding.action));
  }
  if (response.status > 299 && response.status != 500) {
    throw TransportFailure(Utf16ToUtf8(response.status_text) + " (" +
                           std::to_string(response.status) +
                           ") - URL:" + Utf16ToUtf8(binding.endpoint));
  }
  if (IsPlainTextType(response.content_type)) {
    throw TransportFailure("Reply of content type " + Utf16ToUtf8(response.content_type) +
                           " instead of a SOAP envelope - URL:" + Utf16ToUtf8(binding.endpoint));
  }
  return response;
}

class EasySpedDEWSProxy final : public EasySpedDEWS {
 public:
  EasySpedDEWSProxy(bool use_wsdl, std::u16string address, std::shared_ptr<HttpClient> client)
      : use_wsdl_(use_wsdl), address_(std::move(address)), client_(std::move(client)) {}

  std::unique_ptr<DestinationAddressOut2> CalculateBRTSort(
      const DestinationAddress2& address) override {
    return Invoke(CalculateBRTSortCall(address))
        .RecordResult<DestinationAddressOut2, DestinationAddressOut>(
            easysped::kCalculateBRTSort.result);
  }

  std::u16string GetLabelForZebraPrinter(const ArrayOfLabelToPrint& labels, int32_t x,
                                         int32_t y) override {
    return Invoke(GetLabelForZebraPrinterCall(labels, x, y))
        .TextResult(easysped::kGetLabelForZebraPrinter.result);
  }

  std::vector<uint8_t> GetLabelPDF(const ArrayOfLabelToPrint& labels, bool dialogToPrint,
                                   int32_t fakeLabels) override {
    return Invoke(GetLabelPDFCall(labels, dialogToPrint, fakeLabels))
        .BytesResult(easysped::kGetLabelPDF.result);
  }

  std::u16string SayHello(const std::u16string& name_) override {
    return Invoke(SayHelloCall(name_)).TextResult(easysped::kSayHello.result);
  }

 private:
  SoapReply Invoke(const SoapCall& call) {
    const CallBinding binding = Bind(call.operation);
    const HttpResponse response =
        PostEnvelope(*client_, binding, WriteRequestEnvelope(call, binding.namespace_uri));
    return SoapReply(response.body, binding.endpoint);
  }

  CallBinding Bind(std::u16string_view operation) {
    CallBinding binding{address_, RegisteredAction(operation),
                        std::u16string(easysped::kServiceNamespace)};
    if (!use_wsdl_) return binding;
    if (!description_) {
      description_ =
          ReadServiceDescription(address_, easysped::kServiceName, easysped::kPortName, *client_);
    }
    binding.endpoint = description_->endpoint;
    const auto found = description_->operations.find(operation);
    if (found != description_->operations.end()) {
      binding.action = found->second.soap_action.value_or(binding.action);
      binding.namespace_uri = found->second.body_namespace.value_or(binding.namespace_uri);
    }
    return binding;
  }

  const bool use_wsdl_;
  const std::u16string address_;
  const std::shared_ptr<HttpClient> client_;
  std::optional<ServiceDescription> description_;
};

}  // namespace

std::u16string EasySpedWsdlLocation() {
  return EnvironmentValue(easysped::kWsdlLocationVariable)
      .value_or(std::u16string(easysped::kDefaultWsdlLocation));
}

std::shared_ptr<EasySpedDEWS> GetEasySpedDEWS(bool UseWSDL, const std::u16string& Addr,
                                              std::shared_ptr<HttpClient> client) {
  std::u16string address =
      Addr.empty() ? (UseWSDL ? EasySpedWsdlLocation() : std::u16string(easysped::kDefaultUrl))
                   : Addr;
  if (address.empty()) {
    throw ServiceLocationFailure("Neither a WSDL location nor a URL is set for the BRT service");
  }
  if (client == nullptr) client = std::make_shared<HttpClient>();
  return std::make_shared<EasySpedDEWSProxy>(UseWSDL, std::move(address), std::move(client));
}

HttpTimeouts EasySpedTimeouts() {
  const auto seconds = EnvironmentSeconds(easysped::kTimeoutVariable);
  if (!seconds) return HttpTimeouts{};
  return HttpTimeouts{.connect = *seconds, .stalled = *seconds};
}

}  // namespace vorlabws
