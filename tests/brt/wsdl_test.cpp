#include "couriers/brt/wsdl.h"

#include <gtest/gtest.h>

#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/soap_failures.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws {
namespace {

std::string Definitions(const std::string& content) {
  return "<w:definitions xmlns:w=\"http://schemas.xmlsoap.org/wsdl/\" "
         "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\" xmlns:t=\"urn:t\" "
         "targetNamespace=\"urn:t\">" +
         content + "</w:definitions>";
}

const std::string kBinding =
    "<w:binding name=\"B\" type=\"t:P\">"
    "<w:operation name=\"CalculateBRTSort\"><soap:operation soapAction=\"urn:a:sort\"/>"
    "<w:input><soap:body use=\"literal\" namespace=\"urn:body\"/></w:input></w:operation>"
    "<w:operation name=\"SayHello\"><soap:operation style=\"document\"/>"
    "<w:input><soap:body use=\"literal\"/></w:input></w:operation>"
    "<w:operation name=\"GetLabelPDF\"><soap:operation soapAction=\"\"/>"
    "<w:input><soap:body use=\"literal\" namespace=\"\"/></w:input></w:operation>"
    "</w:binding>";

std::string Port(const std::string& name, const std::string& address,
                 const std::string& binding = "t:B") {
  return "<w:port name=\"" + name + "\" binding=\"" + binding + "\"><soap:address location=\"" +
         address + "\"/></w:port>";
}

std::string Service(const std::string& name, const std::string& ports) {
  return "<w:service name=\"" + name + "\">" + ports + "</w:service>";
}

std::string Summary(const ServiceDescription& description) {
  std::string out = "endpoint " + Utf16ToUtf8(description.endpoint) + "\n";
  for (const auto& [name, binding] : description.operations) {
    out +=
        Utf16ToUtf8(name) +
        " action=" + (binding.soap_action ? Utf16ToUtf8(*binding.soap_action) : "(none)") +
        " namespace=" + (binding.body_namespace ? Utf16ToUtf8(*binding.body_namespace) : "(none)") +
        "\n";
  }
  return out;
}

class BrtServiceDescription : public ::testing::Test {
 protected:
  // The description read from a file holding `document`, or the failure's message.
  std::string Read(const std::string& document) {
    const std::u16string path = Utf8ToUtf16(folder_.path() + "service.wsdl");
    WriteFileBytes(path, document);
    return ReadOrFailure(path);
  }

  std::string ReadOrFailure(const std::u16string& location) {
    try {
      return Summary(
          ReadServiceDescription(location, easysped::kServiceName, easysped::kPortName, client_));
    } catch (const ServiceLocationFailure& failure) {
      return failure.what();
    }
  }

  testing::TempFolder folder_;
  HttpClient client_;
};

TEST_F(BrtServiceDescription, FindsServicePortAddressActionsAndBodyNamespaces) {
  struct Case {
    const char* name;
    std::string document;
    std::string outcome;
  };
  const std::string failure =
      "Cannot locate service EasySpedWSServiceImpl, port "
      "easyspedde_endpoint through the service description ";
  const Case cases[] = {
      {"the named service and port among others",
       Definitions(kBinding + Service("Other", Port("easyspedde_endpoint", "http://other/")) +
                   Service("EasySpedWSServiceImpl",
                           Port("easyspedde_endpoint_test", "http://test/") +
                               Port("easyspedde_endpoint", "http://host:9005/easyspeddews"))),
       "endpoint http://host:9005/easyspeddews\n"
       "CalculateBRTSort action=urn:a:sort namespace=urn:body\n"
       "GetLabelPDF action=(none) namespace=(none)\n"
       "SayHello action=(none) namespace=(none)\n"},
      {"binding missing",
       Definitions(
           Service("EasySpedWSServiceImpl", Port("easyspedde_endpoint", "http://h/", "t:X"))),
       "endpoint http://h/\n"},
      {"no such service",
       Definitions(kBinding + Service("easyspedwsserviceimpl", Port("easyspedde_endpoint", "x"))),
       "no such service"},
      {"no such port", Definitions(kBinding + Service("EasySpedWSServiceImpl", Port("p", "x"))),
       "no such port in the service"},
      {"no address",
       Definitions(kBinding + Service("EasySpedWSServiceImpl", Port("easyspedde_endpoint", ""))),
       "the port has no SOAP address"},
      {"not a service description", "<definitions/>", "not a WSDL 1.1 document"},
      {"not XML", "<definitions>",
       "LOCATION:1:14: Premature end of data in tag definitions line 1"},
  };
  const std::string location = folder_.path() + "service.wsdl";
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::string expected = row.outcome;
    if (!expected.starts_with("endpoint")) {
      if (expected.starts_with("LOCATION")) expected.replace(0, 8, location);
      expected = failure + location + ": " + expected;
    }
    EXPECT_EQ(Read(row.document), expected);
  }
}

TEST_F(BrtServiceDescription, UnreadableLocationsNameServicePortAndLocation) {
  const standin::StandInService standin;
  const std::u16string missing_url = standin.Url() + u"-missing?wsdl";
  EXPECT_EQ(ReadOrFailure(missing_url),
            "Cannot locate service EasySpedWSServiceImpl, port easyspedde_endpoint through the "
            "service description " +
                Utf16ToUtf8(missing_url) + ": Not Found (404)");
  const std::string missing_file = folder_.path() + "absent.wsdl";
  EXPECT_EQ(ReadOrFailure(Utf8ToUtf16(missing_file)),
            "Cannot locate service EasySpedWSServiceImpl, port easyspedde_endpoint through the "
            "service description " +
                missing_file + ": Cannot open " + missing_file + ": No such file or directory");
}

// The scheme decides between HTTP and file whatever its case; the stand-in's own description
// leads to its endpoint, past its test service and port.
TEST_F(BrtServiceDescription, ReadsTheStandInDescriptionOverHttpInAnyCase) {
  const standin::StandInService standin;
  std::u16string location = standin.WsdlUrl();
  location.replace(0, 4, u"HTTP");
  const std::u16string action = u"" VORLABWS_BRT_SERVICE_NAMESPACE_HOST "/ws/EasySpedDEWS/";
  const std::string expected_action = Utf16ToUtf8(action);
  EXPECT_EQ(ReadOrFailure(location),
            "endpoint " + Utf16ToUtf8(standin.Url()) + "\n" + "CalculateBRTSort action=" +
                expected_action + "CalculateBRTSort namespace=(none)\n" +
                "GetLabelForZebraPrinter action=" + expected_action +
                "GetLabelForZebraPrinter namespace=(none)\n" +
                "GetLabelPDF action=" + expected_action + "GetLabelPDF namespace=(none)\n" +
                "SayHello action=" + expected_action + "SayHello namespace=(none)\n");
}

}  // namespace
}  // namespace vorlabws
