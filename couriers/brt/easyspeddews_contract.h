// The names that the BRT service's contract fixes on the wire: namespaces, the service and port of
// its service description, operation, parameter and result names, the SOAP action pattern and the
// default locations. The client and the stand-in service both take them from here.
#pragma once

#include <array>
#include <string_view>

#include "couriers/brt/brt_service_settings.h"

namespace vorlabws::easysped {

inline constexpr std::u16string_view kSoapEnvelopeNamespace =
    u"http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::u16string_view kXmlSchemaNamespace = u"http://www.w3.org/2001/XMLSchema";
inline constexpr std::u16string_view kXmlSchemaInstanceNamespace =
    u"http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::u16string_view kWsdlNamespace = u"http://schemas.xmlsoap.org/wsdl/";
inline constexpr std::u16string_view kWsdlSoapNamespace = u"http://schemas.xmlsoap.org/wsdl/soap/";

// The operation and parameter elements.
inline constexpr std::u16string_view kServiceNamespace =
    u"" VORLABWS_BRT_SERVICE_NAMESPACE_HOST "/ws";
// The members of DestinationAddress and DestinationAddressOut.
inline constexpr std::u16string_view kDalNamespace =
    u"" VORLABWS_BRT_DATA_CONTRACT_HOST "/2004/07/Bartolini.EasySped.DAL";
// The members of LabelToPrint, the items of ArrayOfLabelToPrint and the label type.
inline constexpr std::u16string_view kPrintlabelNamespace =
    u"" VORLABWS_BRT_DATA_CONTRACT_HOST "/2004/07/Bartolini.EasySped.Printlabel";

inline constexpr std::u16string_view kEncoding = u"utf-8";
inline constexpr std::u16string_view kOperationNamePlaceholder = u"%operationName%";
inline constexpr std::u16string_view kSoapActionPattern =
    u"" VORLABWS_BRT_SERVICE_NAMESPACE_HOST "/ws/EasySpedDEWS/%operationName%";

inline constexpr std::u16string_view kServiceName = u"EasySpedWSServiceImpl";
inline constexpr std::u16string_view kPortName = u"easyspedde_endpoint";

inline constexpr std::u16string_view kDefaultWsdlLocation = u"" VORLABWS_BRT_DEFAULT_WSDL;
inline constexpr std::u16string_view kDefaultUrl = u"" VORLABWS_BRT_DEFAULT_URL;
// Set, and not empty, it replaces the default WSDL location of this build.
inline constexpr const char* kWsdlLocationVariable = "VORLABWS_BRT_WSDL";
// Set, and not empty, the whole seconds that replace both time limits of the service's client.
inline constexpr const char* kTimeoutVariable = "VORLABWS_BRT_TIMEOUT";

// Schema type names, each in the namespace of its members.
inline constexpr std::u16string_view kDestinationAddressType = u"DestinationAddress";
inline constexpr std::u16string_view kDestinationAddressOutType = u"DestinationAddressOut";
inline constexpr std::u16string_view kLabelToPrintType = u"LabelToPrint";
inline constexpr std::u16string_view kArrayOfLabelToPrintType = u"ArrayOfLabelToPrint";
inline constexpr std::u16string_view kLabelTypeType = u"LabelToPrint.tipiEtichetta";
inline constexpr std::u16string_view kArrayItemName = u"LabelToPrint";

struct Operation {
  std::u16string_view name;
  std::u16string_view result;
  std::array<std::u16string_view, 3> parameters;  // in order; unused places empty
};

// In the order of the service interface.
inline constexpr Operation kCalculateBRTSort{
    u"CalculateBRTSort", u"CalculateBRTSortResult", {u"address"}};
inline constexpr Operation kGetLabelForZebraPrinter{
    u"GetLabelForZebraPrinter", u"GetLabelForZebraPrinterResult", {u"labels", u"x", u"y"}};
inline constexpr Operation kGetLabelPDF{
    u"GetLabelPDF", u"GetLabelPDFResult", {u"labels", u"dialogToPrint", u"fakeLabels"}};
inline constexpr Operation kSayHello{u"SayHello", u"SayHelloResult", {u"name"}};
inline constexpr std::array<Operation, 4> kOperations = {
    kCalculateBRTSort, kGetLabelForZebraPrinter, kGetLabelPDF, kSayHello};

}  // namespace vorlabws::easysped
