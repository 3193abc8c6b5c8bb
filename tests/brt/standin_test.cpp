#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/http.h"
#include "platform/xml.h"
#include "tests/brt/xml_form.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws {
namespace {

using testing::WithContractNamespaces;

constexpr char kContentType[] = "text/xml; charset=\"utf-8\"";
constexpr char kSortAction[] = "\"$SERVICE/EasySpedDEWS/CalculateBRTSort\"";
constexpr char kLabelAction[] = "\"$SERVICE/EasySpedDEWS/GetLabelForZebraPrinter\"";

std::string Envelope(const std::string& content, const std::string& before_body = "",
                     const std::string& attributes = "") {
  return "<?xml version=\"1.0\"?><e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\""
         " xmlns:i=\"http://www.w3.org/2001/XMLSchema-instance\"" +
         attributes + ">" + before_body + "<e:Body>" + content + "</e:Body></e:Envelope>";
}

std::string Sort(const std::string& members) {
  return Envelope("<s:CalculateBRTSort xmlns:s=\"$SERVICE\"><s:address xmlns:d=\"$DAL\">" +
                  members + "</s:address></s:CalculateBRTSort>");
}

std::string Label(const std::string& parameters) {
  return Envelope("<s:GetLabelForZebraPrinter xmlns:s=\"$SERVICE\" xmlns:p=\"$PL\">" + parameters +
                  "</s:GetLabelForZebraPrinter>");
}

// "accepted", or the fault string of the stand-in's client fault.
std::string Verdict(const standin::StandInService& standin, const std::string& content_type,
                    const std::string& action, const std::string& envelope) {
  std::vector<HttpHeader> headers = {{u"Content-Type", Utf8ToUtf16(content_type)}};
  if (!action.empty()) headers.push_back({u"SOAPAction", Utf8ToUtf16(action)});
  const HttpResponse response = HttpClient().Post(standin.Url(), headers, envelope);
  if (response.status == 200) return "accepted";
  const XmlDocument reply = XmlDocument::Parse(response.body, u"fault");
  const XmlNode fault = reply.DocumentElement().ChildElements().at(0).ChildElements().at(0);
  return std::to_string(response.status) + " " + Utf16ToUtf8(fault.ChildElements().at(0).Text()) +
         ": " + Utf16ToUtf8(fault.ChildElements().at(1).Text());
}

// The stand-in holds every request to the contract, so a client that strays from it fails.
TEST(BrtStandIn, RejectsEveryDepartureFromTheContract) {
  struct Case {
    const char* name;
    std::string content_type;
    std::string action;
    std::string envelope;
    std::string verdict;  // after "500 s:Client: Invalid request: " unless "accepted"
  };
  const Case cases[] = {
      {"valid routing request", kContentType, kSortAction,
       Sort("<d:AnnoSpedizione>2019</d:AnnoSpedizione><d:DestinatarioCap>20121</d:DestinatarioCap>"
            "<d:Peso i:nil=\"true\"/><d:Volume>.5</d:Volume>"),
       "accepted"},
      {"member in another namespace", kContentType, kSortAction,
       Sort("<d:AnnoSpedizione>2019</d:AnnoSpedizione>"
            "<p:DestinatarioCap xmlns:p=\"$PL\">20121</p:DestinatarioCap>"),
       "member DestinatarioCap of parameter address is in $PL where $DAL was expected"},
      {"member without namespace", kContentType, kSortAction,
       Sort("<DestinatarioCap>20121</DestinatarioCap>"),
       "member DestinatarioCap of parameter address is in  where $DAL was expected"},
      {"members out of order", kContentType, kSortAction,
       Sort(
           "<d:DestinatarioCap>20121</d:DestinatarioCap><d:AnnoSpedizione>2019</d:AnnoSpedizione>"),
       "member AnnoSpedizione of parameter address is out of order or repeated"},
      {"member repeated", kContentType, kSortAction,
       Sort("<d:DestinatarioCap>1</d:DestinatarioCap><d:DestinatarioCap>2</d:DestinatarioCap>"),
       "member DestinatarioCap of parameter address is out of order or repeated"},
      {"unknown member", kContentType, kSortAction,
       Sort("<d:destinatariocap>1</d:destinatariocap>"),
       "member destinatariocap of parameter address is not a member of DestinationAddress"},
      {"integer marked nil", kContentType, kSortAction, Sort("<d:POArrivo i:nil=\"true\"/>"),
       "member POArrivo of parameter address is marked nil but cannot be"},
      {"integer out of range", kContentType, kSortAction, Sort("<d:POArrivo>70000</d:POArrivo>"),
       "member POArrivo of parameter address '70000' is not a valid xsd:short"},
      {"decimal with a comma", kContentType, kSortAction, Sort("<d:Peso>12,5</d:Peso>"),
       "member Peso of parameter address '12,5' is not a valid xsd:decimal"},
      {"operation in another namespace", kContentType, kSortAction,
       Envelope("<s:CalculateBRTSort xmlns:s=\"urn:x\"><s:address/></s:CalculateBRTSort>"),
       "the operation element is CalculateBRTSort in urn:x where CalculateBRTSort in $SERVICE was "
       "expected"},
      {"parameter without namespace", kContentType, kSortAction,
       Envelope("<s:CalculateBRTSort xmlns:s=\"$SERVICE\"><address/></s:CalculateBRTSort>"),
       "parameter 1 of CalculateBRTSort is address without namespace where address in $SERVICE "
       "was expected"},
      {"another SOAP action", kContentType, kLabelAction, Sort(""),
       "SOAPAction '" + std::string(kLabelAction) + "' where '" + kSortAction + "' was expected"},
      {"SOAP action unquoted", kContentType, "$SERVICE/EasySpedDEWS/CalculateBRTSort", Sort(""),
       "SOAPAction '$SERVICE/EasySpedDEWS/CalculateBRTSort' where '" + std::string(kSortAction) +
           "' was expected"},
      {"no SOAP action", kContentType, "", Sort(""),
       "SOAPAction '' where '" + std::string(kSortAction) + "' was expected"},
      {"content type", "text/xml", kSortAction, Sort(""),
       "Content-Type 'text/xml' where '" + std::string(kContentType) + "' was expected"},
      {"Header", kContentType, kSortAction,
       Envelope("<s:CalculateBRTSort xmlns:s=\"$SERVICE\"><s:address/></s:CalculateBRTSort>",
                "<e:Header/>"),
       "the Envelope holds more than its Body"},
      {"encoding style", kContentType, kSortAction,
       Envelope("<s:CalculateBRTSort xmlns:s=\"$SERVICE\"><s:address/></s:CalculateBRTSort>", "",
                " e:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\""),
       "the Envelope carries an encodingStyle"},
      {"valid label request", kContentType, kLabelAction,
       Label("<s:labels><p:LabelToPrint><p:AnnoSpedizione>2024</p:AnnoSpedizione>"
             "<p:TipoEtichetta>3</p:TipoEtichetta></p:LabelToPrint></s:labels><s:x>110</s:x>"
             "<s:y>0</s:y>"),
       "accepted"},
      {"parameters out of order", kContentType, kLabelAction,
       Label("<s:x>110</s:x><s:labels/><s:y>0</s:y>"),
       "parameter 1 of GetLabelForZebraPrinter is x in $SERVICE where labels in $SERVICE was "
       "expected"},
      {"parameter missing", kContentType, kLabelAction, Label("<s:labels/><s:x>110</s:x>"),
       "parameter 3 of GetLabelForZebraPrinter is missing"},
      {"list item of another name", kContentType, kLabelAction,
       Label("<s:labels><p:Label/></s:labels><s:x>1</s:x><s:y>0</s:y>"),
       "item 1 of parameter labels is Label in $PL where LabelToPrint in $PL was expected"},
      {"label type out of range", kContentType, kLabelAction,
       Label("<s:labels><p:LabelToPrint><p:TipoEtichetta>4</p:TipoEtichetta></p:LabelToPrint>"
             "</s:labels><s:x>1</s:x><s:y>0</s:y>"),
       "member TipoEtichetta of item 1 of parameter labels '4' is not a valid "
       "pl:LabelToPrint.tipiEtichetta"},
      {"SayHello with name_", kContentType, "\"$SERVICE/EasySpedDEWS/SayHello\"",
       Envelope("<s:SayHello xmlns:s=\"$SERVICE\"><s:name_>x</s:name_></s:SayHello>"),
       "parameter 1 of SayHello is name_ in $SERVICE where name in $SERVICE was expected"},
      {"not XML", kContentType, kSortAction, "<e:Envelope",
       "the request:1:12: Namespace prefix e on Envelope is not defined"},
  };
  const standin::StandInService standin;
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const std::string verdict =
        row.verdict == "accepted" ? row.verdict : "500 s:Client: Invalid request: " + row.verdict;
    EXPECT_EQ(Verdict(standin, row.content_type, WithContractNamespaces(row.action),
                      WithContractNamespaces(row.envelope)),
              WithContractNamespaces(verdict));
  }
}

}  // namespace
}  // namespace vorlabws
