#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <functional>

#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/brt/record_text.h"
#include "tests/support/test_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws {
namespace {

using standin::StandInService;
using testing::MembersText;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// A routing request with all of its members set, as a routing job sends it.
std::unique_ptr<DestinationAddress2> RoutingRequest(const std::u16string& postcode) {
  auto request = std::make_unique<DestinationAddress2>();
  request->SetAnnoSpedizione(2024);
  request->SetCampoInErrore(u"");
  request->SetCodiceErrore(u"0");
  request->SetCodiceProdotto(u"C");
  request->SetDescrizioneErrore(u"");
  request->SetDestinatarioCap(postcode);
  request->SetDestinatarioIndirizzo(u"Via Roma, 1");
  request->SetDestinatarioLocalita(u"MILANO");
  request->SetDestinatarioNazione(u"");
  request->SetDestinatarioProvincia(u"MI");
  request->SetDestinatarioProvinciaAlt(u"");
  request->SetDestinatarioRagioneSociale(u"Rossi & Figli");
  request->SetFermoDeposito(u"");
  request->SetFilialeSegnaCollo(12);
  request->SetFlagVolumeBollettato(u"");
  request->SetGestParticolaritaConsegna(u"");
  request->SetGestParticolaritaContrassegno(u"");
  request->SetGestParticolaritaGiacenza(u"");
  request->SetGestParticolaritaVarie(u"");
  request->SetMeseGiornoSpedizione(307);
  request->SetMittenteNazione(u"");
  request->SetMittenteProvincia(u"PD");
  request->SetMittenteRagioneSociale(u"Vorlab Srl");
  request->SetNetwork(u"");
  request->SetNumSegnaColloDi(1);
  request->SetNumeroSegnaCollo(1234567);
  request->SetNumeroSerie(1);
  request->SetPOArrivo(0);
  request->SetPOArrivoDes(u"");
  request->SetPOPartenza(170);
  request->SetPOPartenzaDes(u"");
  request->SetPeso(std::make_shared<XsdDecimal>(u"12.3"));
  request->SetPrimaConsegnaParticolare(u"");
  request->SetRicercaPOArrivo(u"S");
  request->SetRistampa(u"");
  request->SetSecondaConsegnaParticolare(u"");
  request->SetTerminalArrivo(0);
  request->SetTipoContrassegno(u"");
  request->SetTipoLancio(u"");
  request->SetTipoPorto(u"F");
  request->SetTipoServizioBolle(u"C");
  request->SetTipoStampante(u"1");
  request->SetTotSegnaColli(1);
  request->SetVolume(std::make_shared<XsdDecimal>(u"0.062"));
  request->SetZonaSegnaCollo(0);
  return request;
}

// The label request a routing job makes from its request and the reply.
ArrayOfLabelToPrint LabelsFor(const DestinationAddress2& request,
                              const DestinationAddressOut2& reply) {
  auto label = std::make_unique<LabelToPrint2>();
  label->SetAnnoSpedizione(request.AnnoSpedizione());
  label->SetCodiceIsoNazione(reply.NazioneISO());
  label->SetCodiceProdotto(u"C");
  label->SetDestinatarioCap(request.DestinatarioCap());
  label->SetDestinatarioIndirizzo(request.DestinatarioIndirizzo());
  label->SetDestinatarioLocalita(request.DestinatarioLocalita());
  label->SetDestinatarioProvincia(reply.DestinatarioProvincia());
  label->SetDestinatarioRagioneSociale(request.DestinatarioRagioneSociale());
  label->SetPOSegnacollo(request.FilialeSegnaCollo());
  label->SetFlagRistampa(request.Ristampa());
  label->SetFlagVolumeBollettato(request.FlagVolumeBollettato());
  label->SetMeseGiornoSpedizione(request.MeseGiornoSpedizione());
  label->SetMittenteProvincia(request.MittenteProvincia());
  label->SetMittenteRagioneSociale(request.MittenteRagioneSociale());
  label->SetNumeroSegnaCollo(request.NumeroSegnaCollo());
  label->SetNumeroSegnaColloDi(request.NumSegnaColloDi());
  label->SetNumeroSerie(request.NumeroSerie());
  label->SetPeso(request.Peso());
  label->SetPOArrivo(reply.POArrivo());
  label->SetPOArrivoDescrizione(reply.POArrivoDes());
  label->SetPOPartenza(request.POPartenza());
  label->SetPOPartenzaDescrizione(reply.POPartenzaDes());
  label->SetTerminalArrivo(reply.TerminalArrivo());
  label->SetTipoServizioBolle(request.TipoServizioBolle());
  label->SetTipoStampaNetwork(reply.TipoStampaNetwork());
  label->SetTotaleSegnaColli(request.TotSegnaColli());
  label->SetVolume(request.Volume());
  label->SetZonaSegnaCollo(reply.ZonaSegnaCollo());
  label->SetTipoEtichetta(LabelToPrint_tipiEtichetta::_1);
  ArrayOfLabelToPrint labels;
  labels.push_back(std::move(label));
  return labels;
}

std::string Action(const std::string& operation) {
  return Utf16ToUtf8(easysped::kServiceNamespace) + "/EasySpedDEWS/" + operation;
}

const std::string kMilano =
    "CampoInErrore=\nCodiceErrore=\nDescrizioneErrore=\nDestinatarioLocalita=MILANO\n"
    "DestinatarioProvincia=MI\nDestinatarioProvinciaAlt=\nNazioneISO=IT\nPOArrivo=100\n"
    "POArrivoDes=MILANO\nPOPartenzaDes=ROMA\nTerminalArrivo=101\nTipoStampaNetwork=N\n"
    "ZonaSegnaCollo=12\n";

enum class Location { kUrl, kWsdlUrl, kWsdlFile };

// Every operation through one proxy, in either mode, as the stand-in is told to publish its
// actions and namespaces: the stand-in checks each request, and sees all calls of the proxy (and
// its description) come over one connection.
TEST(BrtProxy, EveryOperationInBothModesOnOneConnection) {
  struct Case {
    const char* name;
    std::vector<std::string> standin_options;
    Location location;
    std::string traffic;
  };
  const Case cases[] = {
      {"URL mode, registered actions", {}, Location::kUrl, "connections 1\nrequests 4\n"},
      {"WSDL over HTTP", {}, Location::kWsdlUrl, "connections 1\nrequests 5\n"},
      {"WSDL actions of its own",
       {"--actions", "own"},
       Location::kWsdlUrl,
       "connections 1\nrequests 5\n"},
      {"WSDL without actions",
       {"--actions", "none"},
       Location::kWsdlUrl,
       "connections 1\nrequests 5\n"},
      {"WSDL body namespace",
       {"--body-namespace", "urn:easysped:other"},
       Location::kWsdlUrl,
       "connections 1\nrequests 5\n"},
      {"WSDL from a file",
       {"--actions", "own"},
       Location::kWsdlFile,
       "connections 2\nrequests 5\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const StandInService standin(row.standin_options);
    std::u16string address = row.location == Location::kUrl ? standin.Url() : standin.WsdlUrl();
    const testing::TempFolder folder;
    const std::u16string file = Utf8ToUtf16(folder.path() + "service.wsdl");
    if (row.location == Location::kWsdlFile) {
      WriteFileBytes(file, HttpClient().Get(address).body);
      address = file;
    }
    const std::shared_ptr<EasySpedDEWS> service =
        GetEasySpedDEWS(row.location != Location::kUrl, address);

    const auto request = RoutingRequest(u"20121");
    const std::unique_ptr<DestinationAddressOut2> reply = service->CalculateBRTSort(*request);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(MembersText(*reply), kMilano);
    const ArrayOfLabelToPrint labels = LabelsFor(*request, *reply);
    EXPECT_EQ(service->GetLabelForZebraPrinter(labels, 110, 0),
              u"^XA\n^LH110,0\n^FO20,20^A0N,28,28^FDMITT: Vorlab Srl (PD)^FS\n"
              u"^FO20,60^A0N,36,36^FDRossi & Figli^FS\n^FO20,105^A0N,28,28^FDVia Roma, 1^FS\n"
              u"^FO20,140^A0N,28,28^FD20121 MILANO MI^FS\n^FO20,190^A0N,60,60^FD100 MILANO^FS\n"
              u"^FO20,260^A0N,28,28^FDCOLLO 1234567 DI 1 PESO 12.3^FS\n"
              u"^FO20,300^BCN,100,Y,N,N^FD01210001123456712^FS\n^XZ\n");
    const std::vector<uint8_t> pdf = service->GetLabelPDF(labels, false, 0);
    EXPECT_EQ(std::string(pdf.begin(), pdf.end()),
              "%PDF-1.4\n% EasySped stand-in: 1 labels, dialogToPrint false, fakeLabels 0\n"
              "%%EOF\n");
    EXPECT_EQ(service->SayHello(u"x"), u"Hello x");
    EXPECT_EQ(standin.Traffic(), row.traffic);
  }
}

std::string RoutingOutcome(EasySpedDEWS& service, const std::u16string& postcode) {
  try {
    const std::unique_ptr<DestinationAddressOut2> reply =
        service.CalculateBRTSort(*RoutingRequest(postcode));
    return reply == nullptr ? "no record" : MembersText(*reply);
  } catch (const SoapFault& fault) {
    return std::string("SoapFault: ") + fault.what() + " | " + Utf16ToUtf8(fault.FaultCode()) +
           " | " + Utf16ToUtf8(fault.FaultActor()) + " | " + Utf16ToUtf8(fault.Detail());
  } catch (const TransportFailure& failure) {
    return std::string("TransportFailure: ") + failure.what();
  } catch (const InvalidReply& failure) {
    return std::string("InvalidReply: ") + failure.what();
  }
}

TEST(BrtProxy, RoutingOutcomesOfTheStandInTable) {
  const StandInService standin;
  const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(false, standin.Url());
  struct Case {
    const char16_t* postcode;
    std::string reply;
  };
  const Case cases[] = {
      {u"12345",
       "CampoInErrore=DestinatarioCap\nCodiceErrore=E47\nDescrizioneErrore=CAP 12345 inesistente\n"
       "DestinatarioLocalita=MILANO\nDestinatarioProvincia=MI\nDestinatarioProvinciaAlt=\n"
       "NazioneISO=IT\nPOArrivo=0\nPOArrivoDes=\nPOPartenzaDes=ROMA\nTerminalArrivo=0\n"
       "TipoStampaNetwork=\nZonaSegnaCollo=0\n"},
      {u"99998",
       "CampoInErrore=\nCodiceErrore=W12\nDescrizioneErrore=Indirizzo non verificato\n"
       "DestinatarioLocalita=MILANO\nDestinatarioProvincia=MI\nDestinatarioProvinciaAlt=\n"
       "NazioneISO=IT\nPOArrivo=100\nPOArrivoDes=MILANO\nPOPartenzaDes=ROMA\nTerminalArrivo=101\n"
       "TipoStampaNetwork=N\nZonaSegnaCollo=12\n"},
      {u"99999",
       "CampoInErrore=\nCodiceErrore=\nDescrizioneErrore=\nDestinatarioLocalita=\n"
       "DestinatarioProvincia=\nDestinatarioProvinciaAlt=\nNazioneISO=IT\nPOArrivo=0\n"
       "POArrivoDes=\nPOPartenzaDes=ROMA\nTerminalArrivo=0\nTipoStampaNetwork=N\n"
       "ZonaSegnaCollo=0\n"},
      {u"99997",
       "CampoInErrore=\nCodiceErrore=\nDescrizioneErrore=\nDestinatarioLocalita=MILANO\n"
       "DestinatarioProvincia=MI\nDestinatarioProvinciaAlt=\nNazioneISO=IT\nPOArrivo=100\n"
       "POArrivoDes=MILANO\nPOPartenzaDes=ROMA\nTerminalArrivo=101\nTipoStampaNetwork=N\n"
       "ZonaSegnaCollo=-1\n"},
      {u"11100",
       "CampoInErrore=\nCodiceErrore=\nDescrizioneErrore=\nDestinatarioLocalita=AOSTA\n"
       "DestinatarioProvincia=AO\nDestinatarioProvinciaAlt=\nNazioneISO=IT\nPOArrivo=57\n"
       "POArrivoDes=VALLE D'AOSTA\nPOPartenzaDes=ROMA\nTerminalArrivo=58\nTipoStampaNetwork=N\n"
       "ZonaSegnaCollo=1\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(Utf16ToUtf8(row.postcode));
    EXPECT_EQ(RoutingOutcome(*service, row.postcode), row.reply);
  }
}

// Each way the service can fail a call, and each within the time it should take: the 404 ends at
// its status without waiting for a body that never completes, the reply that never comes ends by
// the client's stall time.
TEST(BrtProxy, FailingServicesFailTheCall) {
  struct Case {
    const char* name;
    std::vector<std::string> standin_options;
    std::string outcome;  // with the endpoint and the SOAP action in place of <endpoint>, <action>
    seconds at_most;
  };
  const Case cases[] = {
      {"fault",
       {"--misbehave", "fault"},
       "SoapFault: Servizio temporaneamente non disponibile | s:Server | <endpoint> | "
       "<detail><sd:Reason "
       "xmlns:sd=\"urn:easysped-standin\">Routing database offline</sd:Reason></detail>",
       seconds(5)},
      {"404",
       {"--misbehave", "404"},
       "TransportFailure: Not Found (404) - URL:<endpoint>",
       seconds(5)},
      {"html",
       {"--misbehave", "html"},
       "TransportFailure: Reply of content type text/html instead of a SOAP envelope - "
       "URL:<endpoint>",
       seconds(5)},
      {"a reply envelope cut off halfway",
       {"--misbehave", "garbage"},
       "InvalidReply: Invalid SOAP reply: <endpoint>:2:413: Couldn't find end of Start Tag "
       "DestinatarioLocalita line 2",
       seconds(5)},
      {"nil result", {"--misbehave", "nil"}, "no record", seconds(5)},
      {"one child of another name", {"--misbehave", "other-child-name"}, kMilano, seconds(5)},
      {"no reply",
       {"--misbehave", "hang"},
       "TransportFailure: Timeout was reached - URL:<endpoint> - SOAPAction:<action>",
       seconds(4)},
      {"request against the contract",
       {"--actions", "own"},
       "SoapFault: Invalid request: SOAPAction '\"<action>\"' where "
       "'\"urn:easysped-standin:CalculateBRTSort\"' was expected | s:Client | <endpoint> | <detail>"
       "<sd:Reason xmlns:sd=\"urn:easysped-standin\">The request does not follow the service "
       "contract</sd:Reason></detail>",
       seconds(5)},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const StandInService standin(row.standin_options);
    const auto client = std::make_shared<HttpClient>(HttpTimeouts{seconds(60), seconds(1)});
    const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(false, standin.Url(), client);
    std::string expected = row.outcome;
    for (const auto& [placeholder, value] :
         {std::pair<std::string, std::string>{"<endpoint>", Utf16ToUtf8(standin.Url())},
          {"<action>", Action("CalculateBRTSort")}}) {
      for (size_t at = expected.find(placeholder); at != std::string::npos;
           at = expected.find(placeholder, at + value.size())) {
        expected.replace(at, placeholder.size(), value);
      }
    }
    const auto start = Clock::now();
    EXPECT_EQ(RoutingOutcome(*service, u"20121"), expected);
    EXPECT_LT(Clock::now() - start, row.at_most);
  }
}

TEST(BrtProxy, UnreachableServiceIsATransportFailureNamingUrlAndAction) {
  std::u16string url;
  {
    const StandInService gone;
    url = gone.Url();
  }
  const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(false, url);
  EXPECT_EQ(RoutingOutcome(*service, u"20121"),
            "TransportFailure: Couldn't connect to server - URL:" + Utf16ToUtf8(url) +
                " - SOAPAction:" + Action("CalculateBRTSort"));
}

TEST(BrtProxy, DefaultWsdlLocationGivesWayToTheEnvironment) {
  const StandInService standin;
  ASSERT_EQ(setenv(easysped::kWsdlLocationVariable, Utf16ToUtf8(standin.WsdlUrl()).c_str(), 1), 0);
  const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(true, u"");
  EXPECT_EQ(service->SayHello(u"da Padova"), u"Hello da Padova");
  unsetenv(easysped::kWsdlLocationVariable);
}

TEST(BrtProxy, TimeLimitsGiveWayToTheEnvironmentInWholeSeconds) {
  struct Case {
    const char* name;
    const char* value;  // nullptr: unset
    std::string outcome;
  };
  const Case cases[] = {
      {"unset: the client's own", nullptr, "connect 60 s, stalled 60 s"},
      {"empty: the client's own", "", "connect 60 s, stalled 60 s"},
      {"two seconds", "2", "connect 2 s, stalled 2 s"},
      {"the longest", "999999", "connect 999999 s, stalled 999999 s"},
      {"a word", "soon", "VORLABWS_BRT_TIMEOUT 'soon' is not a number of seconds"},
      {"zero", "0", "VORLABWS_BRT_TIMEOUT '0' is not a number of seconds"},
      {"negative", "-5", "VORLABWS_BRT_TIMEOUT '-5' is not a number of seconds"},
      {"a fraction", "1.5", "VORLABWS_BRT_TIMEOUT '1.5' is not a number of seconds"},
      {"a blank before", " 2", "VORLABWS_BRT_TIMEOUT ' 2' is not a number of seconds"},
      {"too long", "1000000", "VORLABWS_BRT_TIMEOUT '1000000' is not a number of seconds"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    if (row.value == nullptr) {
      unsetenv(easysped::kTimeoutVariable);
    } else {
      ASSERT_EQ(setenv(easysped::kTimeoutVariable, row.value, 1), 0);
    }
    std::string outcome;
    try {
      const HttpTimeouts timeouts = EasySpedTimeouts();
      outcome = "connect " + std::to_string(timeouts.connect.count()) + " s, stalled " +
                std::to_string(timeouts.stalled.count()) + " s";
    } catch (const Failure& failure) {
      outcome = failure.what();
    }
    EXPECT_EQ(outcome, row.outcome);
  }
  unsetenv(easysped::kTimeoutVariable);
}

TEST(BrtProxy, BrokenServiceDescriptionFailsTheCallNamingServicePortAndLocation) {
  const StandInService standin;
  const std::u16string location = standin.Url() + u"-test?wsdl";
  const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(true, location);
  try {
    service->SayHello(u"x");
    FAIL() << "no failure";
  } catch (const ServiceLocationFailure& failure) {
    EXPECT_EQ(failure.what(),
              "Cannot locate service EasySpedWSServiceImpl, port "
              "easyspedde_endpoint through the service description " +
                  Utf16ToUtf8(location) + ": Not Found (404)");
  }
}

}  // namespace
}  // namespace vorlabws
