#include <gtest/gtest.h>

#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/soap_reply.h"
#include "platform/code_page.h"
#include "tests/brt/record_text.h"

namespace vorlabws {
namespace {

enum class Result { kRecord, kText, kBytes };

struct ReplyCase {
  const char* name;
  Result result;
  std::string body;  // the Body's content, or a whole document when it starts with "<?xml"
  std::string outcome;
};

std::string Document(const std::string& body) {
  if (body.starts_with("<?xml")) return body;
  return "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\""
         " xmlns:i=\"http://www.w3.org/2001/XMLSchema-instance\"><s:Body>" +
         body + "</s:Body></s:Envelope>";
}

std::string Wrapped(const std::string& result) {
  return "<r:CalculateBRTSortResponse xmlns:r=\"urn:any\" "
         "xmlns:a=\"http://schemas.datacontract.org/2004/07/Bartolini.EasySped.DAL\">" +
         result + "</r:CalculateBRTSortResponse>";
}

// The whole outcome of reading one reply: the record (its type and specified members), the text or
// bytes, or the failure with its message.
std::string Outcome(const ReplyCase& row) {
  try {
    const SoapReply reply(Document(row.body), u"http://127.0.0.1/easyspeddews");
    switch (row.result) {
      case Result::kRecord: {
        const std::unique_ptr<DestinationAddressOut2> record =
            reply.RecordResult<DestinationAddressOut2, DestinationAddressOut>(
                u"CalculateBRTSortResult");
        if (record == nullptr) return "no record";
        const bool subtype = dynamic_cast<const DestinationAddressOut*>(record.get()) != nullptr;
        return (subtype ? "DestinationAddressOut\n" : "DestinationAddressOut2\n") +
               testing::MembersText(*record);
      }
      case Result::kText:
        return "text: " + Utf16ToUtf8(reply.TextResult(u"SayHelloResult"));
      case Result::kBytes: {
        const std::vector<uint8_t> bytes = reply.BytesResult(u"GetLabelPDFResult");
        return "bytes: " + std::string(bytes.begin(), bytes.end());
      }
    }
  } catch (const InvalidReply& failure) {
    return std::string("InvalidReply: ") + failure.what();
  } catch (const SoapFault& fault) {
    return std::string("SoapFault: ") + fault.what() + " | " + Utf16ToUtf8(fault.FaultCode()) +
           " | " + Utf16ToUtf8(fault.FaultActor()) + " | " + Utf16ToUtf8(fault.Detail());
  }
  return "";
}

const std::string kFrom = "Invalid SOAP reply from http://127.0.0.1/easyspeddews: ";

TEST(BrtReply, ReadsEachReplyAsTheServiceContractSays) {
  const ReplyCase cases[] = {
      {"result name in another case", Result::kRecord,
       Wrapped("<r:Other/><r:calculatebrtsortresult><a:POArrivo>100</a:POArrivo>"
               "<a:CodiceErrore i:nil=\"true\"/></r:calculatebrtsortresult>"),
       "DestinationAddressOut2\nCodiceErrore=\nPOArrivo=100\n"},
      {"member names match case-sensitively", Result::kRecord,
       Wrapped("<r:CalculateBRTSortResult><a:poarrivo>5</a:poarrivo>"
               "<a:POArrivoDes>ROMA</a:POArrivoDes><a:Unknown>x</a:Unknown>"
               "</r:CalculateBRTSortResult>"),
       "DestinationAddressOut2\nPOArrivoDes=ROMA\n"},
      {"single child of another name is the result", Result::kRecord,
       Wrapped("<Result><a:POArrivo>7</a:POArrivo></Result>"),
       "DestinationAddressOut2\nPOArrivo=7\n"},
      {"no child of the result's name among several", Result::kRecord, Wrapped("<r:One/><r:Two/>"),
       "no record"},
      {"nil result", Result::kRecord, Wrapped("<r:CalculateBRTSortResult i:nil=\"true\"/>"),
       "no record"},
      {"empty Body", Result::kRecord, "", "no record"},
      {"registered subtype by xsi:type", Result::kRecord,
       Wrapped("<r:CalculateBRTSortResult i:type=\"a:DestinationAddressOut\">"
               "<a:ZonaSegnaCollo> -1 </a:ZonaSegnaCollo></r:CalculateBRTSortResult>"),
       "DestinationAddressOut\nZonaSegnaCollo=-1\n"},
      {"member namespace ignored, first of a name used", Result::kRecord,
       Wrapped("<r:CalculateBRTSortResult><POArrivo xmlns=\"urn:x\">3</POArrivo>"
               "<a:POArrivo>4</a:POArrivo></r:CalculateBRTSortResult>"),
       "DestinationAddressOut2\nPOArrivo=3\n"},
      {"Header ignored", Result::kText,
       "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
       "<s:Header><SayHelloResult>no</SayHelloResult></s:Header><s:Body><w:R xmlns:w=\"urn:w\">"
       "<w:SayHelloResult>Hello x</w:SayHelloResult></w:R></s:Body></s:Envelope>",
       "text: Hello x"},
      {"fault", Result::kRecord,
       "<s:Fault><faultcode>s:Server</faultcode><faultstring>Servizio non disponibile"
       "</faultstring><faultactor>http://x</faultactor><detail><d:Info xmlns:d=\"urn:d\">db down"
       "</d:Info></detail></s:Fault>",
       "SoapFault: Servizio non disponibile | s:Server | http://x | <detail><d:Info "
       "xmlns:d=\"urn:d\">db down</d:Info></detail>"},
      {"not an envelope", Result::kRecord, "<?xml version=\"1.0\"?><html><body>x</body></html>",
       "InvalidReply: " + kFrom +
           "the document element is html without namespace, not a SOAP 1.1 "
           "Envelope"},
      {"SOAP 1.2 envelope", Result::kText,
       "<?xml version=\"1.0\"?><e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\">"
       "<e:Body><R><SayHelloResult>x</SayHelloResult></R></e:Body></e:Envelope>",
       "InvalidReply: " + kFrom +
           "the document element is Envelope in "
           "http://www.w3.org/2003/05/soap-envelope, not a SOAP 1.1 Envelope"},
      {"two Bodies", Result::kText,
       "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
       "<s:Body/><s:Body/></s:Envelope>",
       "InvalidReply: " + kFrom + "more than one Body"},
      {"no Body", Result::kText,
       "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
       "<s:Header/></s:Envelope>",
       "InvalidReply: " + kFrom + "no Body"},
      {"not XML", Result::kText, "<?xml version=\"1.0\"?>Service Unavailable",
       "InvalidReply: Invalid SOAP reply: http://127.0.0.1/easyspeddews:1:22: Start tag expected, "
       "'<' not found"},
      {"integer too large for its member", Result::kRecord,
       Wrapped("<r:CalculateBRTSortResult><a:POArrivo>70000</a:POArrivo>"
               "</r:CalculateBRTSortResult>"),
       "InvalidReply: The reply's POArrivo '70000' is not an integer of 16 bits"},
      {"text result", Result::kText,
       "<w:SayHelloResponse xmlns:w=\"urn:w\"><w:SayHelloResult>Hello &amp; x</w:SayHelloResult>"
       "</w:SayHelloResponse>",
       "text: Hello & x"},
      {"text result missing", Result::kText,
       "<w:SayHelloResponse xmlns:w=\"urn:w\"><w:A/><w:B/></w:SayHelloResponse>",
       "InvalidReply: " + kFrom + "no SayHelloResult element"},
      {"text result in an empty Body", Result::kText, "",
       "InvalidReply: " + kFrom + "no SayHelloResult element"},
      {"bytes result", Result::kBytes,
       "<w:R xmlns:w=\"urn:w\"><w:GetLabelPDFResult>JVBE\nRi0=</w:GetLabelPDFResult></w:R>",
       "bytes: %PDF-"},
      {"bytes result not Base64", Result::kBytes,
       "<w:R xmlns:w=\"urn:w\"><w:GetLabelPDFResult>%PDF</w:GetLabelPDFResult></w:R>",
       "InvalidReply: " + kFrom +
           "GetLabelPDFResult: Invalid Base64 text: character outside the alphabet"},
  };
  for (const ReplyCase& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Outcome(row), row.outcome);
  }
}

}  // namespace
}  // namespace vorlabws
