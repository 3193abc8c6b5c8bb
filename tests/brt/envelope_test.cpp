#include <gtest/gtest.h>

#include <functional>

#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/easyspeddews_calls.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/soap_envelope.h"
#include "platform/code_page.h"
#include "tests/brt/xml_form.h"

namespace vorlabws {
namespace {

using testing::NamespaceAwareForm;
using testing::WithContractNamespaces;

std::string Written(const SoapCall& call) {
  return WriteRequestEnvelope(call, easysped::kServiceNamespace);
}

ArrayOfLabelToPrint OneLabel(std::unique_ptr<LabelToPrint2> label) {
  ArrayOfLabelToPrint labels;
  labels.push_back(std::move(label));
  return labels;
}

// A golden document names the configured namespaces by placeholder; its prefixes are free.
struct GoldenCase {
  const char* name;
  std::function<std::string()> write;
  std::string golden;
};

TEST(BrtEnvelope, MatchesGoldenDocumentsNamespaceAware) {
  const GoldenCase cases[] = {
      {"one member set",
       [] {
         DestinationAddress2 address;
         address.SetAnnoSpedizione(2019);
         return Written(CalculateBRTSortCall(address));
       },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
            <s:CalculateBRTSort xmlns:s="$SERVICE">
              <s:address><d:AnnoSpedizione xmlns:d="$DAL">2019</d:AnnoSpedizione></s:address>
            </s:CalculateBRTSort>
          </e:Body></e:Envelope>)"},
      {"empty text, nil decimal, member order, negative number",
       [] {
         DestinationAddress2 address;
         address.SetVolume(std::make_shared<XsdDecimal>(u"0,125"));
         address.SetPeso(nullptr);
         address.SetPOArrivo(-3);
         address.SetCampoInErrore(u"");
         address.SetDestinatarioRagioneSociale(u"Rossi & Figli <Srl>");
         return Written(CalculateBRTSortCall(address));
       },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"
              xmlns:i="http://www.w3.org/2001/XMLSchema-instance"><e:Body>
            <s:CalculateBRTSort xmlns:s="$SERVICE"><s:address xmlns:d="$DAL">
              <d:CampoInErrore/>
              <d:DestinatarioRagioneSociale>Rossi &amp; Figli &lt;Srl&gt;</d:DestinatarioRagioneSociale>
              <d:POArrivo>-3</d:POArrivo>
              <d:Peso i:nil="true"/>
              <d:Volume>0,125</d:Volume>
            </s:address></s:CalculateBRTSort>
          </e:Body></e:Envelope>)"},
      {"SayHello sends name", [] { return Written(SayHelloCall(u"x")); },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
            <SayHello xmlns="$SERVICE"><name>x</name></SayHello>
          </e:Body></e:Envelope>)"},
      {"label type 2, unset members absent",
       [] {
         auto label = std::make_unique<LabelToPrint2>();
         label->SetAnnoSpedizione(2024);
         label->SetTipoEtichetta(LabelToPrint_tipiEtichetta::_2);
         label->SetPeso(std::make_shared<XsdDecimal>(u"12.3"));
         label->SetPOArrivo(345);
         const ArrayOfLabelToPrint labels = OneLabel(std::move(label));
         return Written(GetLabelForZebraPrinterCall(labels, 110, 0));
       },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
            <s:GetLabelForZebraPrinter xmlns:s="$SERVICE">
              <s:labels>
                <p:LabelToPrint xmlns:p="$PL">
                  <p:AnnoSpedizione>2024</p:AnnoSpedizione>
                  <p:POArrivo>345</p:POArrivo>
                  <p:Peso>12.3</p:Peso>
                  <p:TipoEtichetta>2</p:TipoEtichetta>
                </p:LabelToPrint>
              </s:labels>
              <s:x>110</s:x>
              <s:y>0</s:y>
            </s:GetLabelForZebraPrinter>
          </e:Body></e:Envelope>)"},
      {"empty list and Boolean", [] { return Written(GetLabelPDFCall({}, true, -2)); },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
            <s:GetLabelPDF xmlns:s="$SERVICE">
              <s:labels/><s:dialogToPrint>true</s:dialogToPrint><s:fakeLabels>-2</s:fakeLabels>
            </s:GetLabelPDF>
          </e:Body></e:Envelope>)"},
      {"subtype names its schema type",
       [] {
         DestinationAddress address;
         address.SetDestinatarioCap(u"20121");
         return Written(CalculateBRTSortCall(address));
       },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"
              xmlns:i="http://www.w3.org/2001/XMLSchema-instance"><e:Body>
            <s:CalculateBRTSort xmlns:s="$SERVICE">
              <s:address xmlns:d="$DAL" i:type="d:DestinationAddress">
                <d:DestinatarioCap>20121</d:DestinatarioCap>
              </s:address>
            </s:CalculateBRTSort>
          </e:Body></e:Envelope>)"},
      {"namespace of the input body",
       [] { return WriteRequestEnvelope(SayHelloCall(u""), u"urn:body"); },
       R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
            <b:SayHello xmlns:b="urn:body"><b:name/></b:SayHello>
          </e:Body></e:Envelope>)"},
  };
  for (const GoldenCase& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(NamespaceAwareForm(row.write()),
              NamespaceAwareForm(WithContractNamespaces(row.golden)));
  }
}

TEST(BrtEnvelope, FullLabelSendsEveryMemberInMemberOrder) {
  auto label = std::make_unique<LabelToPrint2>();
  label->SetZonaSegnaCollo(5);
  label->SetDataSpedizione(std::make_shared<XsdDateTime>(u"2024-01-15T10:20:30"));
  label->SetNumeroRifNumerico(9007199254740993);
  label->SetCodiceErrore(u"E");
  label->SetAnnoSpedizione(2024);
  const ArrayOfLabelToPrint labels = OneLabel(std::move(label));
  EXPECT_EQ(NamespaceAwareForm(Written(GetLabelForZebraPrinterCall(labels, 1, 2))),
            NamespaceAwareForm(WithContractNamespaces(R"(
      <e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/"><e:Body>
        <s:GetLabelForZebraPrinter xmlns:s="$SERVICE"><s:labels><p:LabelToPrint xmlns:p="$PL">
          <p:AnnoSpedizione>2024</p:AnnoSpedizione>
          <p:CodiceErrore>E</p:CodiceErrore>
          <p:DataSpedizione>2024-01-15T10:20:30</p:DataSpedizione>
          <p:NumeroRifNumerico>9007199254740993</p:NumeroRifNumerico>
          <p:ZonaSegnaCollo>5</p:ZonaSegnaCollo>
        </p:LabelToPrint></s:labels><s:x>1</s:x><s:y>2</s:y></s:GetLabelForZebraPrinter>
      </e:Body></e:Envelope>)")));
}

// The envelope's own form: the SOAP-ENV prefix, xsd and xsi declared, no Header, no encoding style.
TEST(BrtEnvelope, EnvelopeDeclaresItsPrefixesAndNothingElse) {
  const std::string written = Written(SayHelloCall(u"x"));
  EXPECT_TRUE(
      written.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SOAP-ENV:Envelope "))
      << written;
  EXPECT_NE(written.find("xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""),
            std::string::npos);
  EXPECT_NE(written.find("xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""), std::string::npos);
  EXPECT_NE(written.find("xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""),
            std::string::npos);
  EXPECT_EQ(written.find("Header"), std::string::npos);
  EXPECT_EQ(written.find("encodingStyle"), std::string::npos);
  EXPECT_EQ(written.find("soap/encoding"), std::string::npos);
}

}  // namespace
}  // namespace vorlabws
