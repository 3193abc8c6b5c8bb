#include "tools/brt-standin/answers.h"

#include <array>

#include "platform/base64.h"
#include "platform/code_page.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace vorlabws::standin {
namespace {

using easysped::kSoapEnvelopeNamespace;
using easysped::kXmlSchemaInstanceNamespace;

struct RouteRow {
  std::u16string_view postcode;
  int depot;
  std::u16string_view depot_name;
  int terminal;
  int zone;
  std::u16string_view city;
  std::u16string_view province;
  std::u16string_view error_code;
  std::u16string_view error_text;
};

constexpr std::array<RouteRow, 9> kRoutes = {{
    {u"20121", 100, u"MILANO", 101, 12, u"MILANO", u"MI", u"", u""},
    {u"00184", 170, u"ROMA", 172, 5, u"ROMA", u"RM", u"", u""},
    {u"10121", 50, u"TORINO", 51, 3, u"TORINO", u"TO", u"", u""},
    {u"40121", 130, u"BOLOGNA", 131, 7, u"BOLOGNA", u"BO", u"", u""},
    {u"80133", 240, u"NAPOLI", 241, 9, u"NAPOLI", u"NA", u"", u""},
    {u"11100", 57, u"VALLE D'AOSTA", 58, 1, u"AOSTA", u"AO", u"", u""},
    {u"99998", 100, u"MILANO", 101, 12, u"MILANO", u"MI", u"W12", u"Indirizzo non verificato"},
    {u"99999", 0, u"", 0, 0, u"", u"", u"", u""},
    {u"99997", 100, u"MILANO", 101, -1, u"MILANO", u"MI", u"", u""},
}};

std::u16string Member(const ReceivedRecord& record, std::u16string_view name) {
  const auto found = record.find(name);
  return found == record.end() ? u"" : found->second;
}

std::u16string DepotName(const std::u16string& depot) {
  for (const RouteRow& row : kRoutes) {
    if (row.depot != 0 && IntToText(row.depot) == depot) return std::u16string(row.depot_name);
  }
  return u"FILIALE " + depot;
}

// The routing reply's members; those left out are sent nil.
ReceivedRecord Route(const ReceivedRecord& address) {
  const std::u16string postcode = Member(address, u"DestinatarioCap");
  ReceivedRecord reply = {{u"DestinatarioProvinciaAlt", u""},
                          {u"NazioneISO", u"IT"},
                          {u"POPartenzaDes", DepotName(Member(address, u"POPartenza"))}};
  for (const RouteRow& row : kRoutes) {
    if (row.postcode != postcode) continue;
    if (!row.error_code.empty()) {
      reply[u"CodiceErrore"] = row.error_code;
      reply[u"DescrizioneErrore"] = row.error_text;
    }
    reply[u"DestinatarioLocalita"] = row.city;
    reply[u"DestinatarioProvincia"] = row.province;
    reply[u"POArrivo"] = IntToText(row.depot);
    reply[u"POArrivoDes"] = row.depot_name;
    reply[u"TerminalArrivo"] = IntToText(row.terminal);
    reply[u"TipoStampaNetwork"] = u"N";
    reply[u"ZonaSegnaCollo"] = IntToText(row.zone);
    return reply;
  }
  reply[u"CampoInErrore"] = u"DestinatarioCap";
  reply[u"CodiceErrore"] = u"E47";
  reply[u"DescrizioneErrore"] = u"CAP " + postcode + u" inesistente";
  reply[u"DestinatarioLocalita"] = Member(address, u"DestinatarioLocalita");
  reply[u"DestinatarioProvincia"] = Member(address, u"DestinatarioProvincia");
  reply[u"POArrivo"] = u"0";
  reply[u"POArrivoDes"] = u"";
  reply[u"TerminalArrivo"] = u"0";
  reply[u"TipoStampaNetwork"] = u"";
  reply[u"ZonaSegnaCollo"] = u"0";
  return reply;
}

std::u16string Field(const ReceivedRecord& label, std::u16string_view name) {
  std::u16string text = Member(label, name);
  for (char16_t& c : text) {
    if (c == u'^' || c == u'~') c = u' ';
  }
  return text;
}

std::u16string Padded(const ReceivedRecord& label, std::u16string_view name, size_t width) {
  const std::u16string digits = Field(label, name);
  return digits.size() >= width ? digits : std::u16string(width - digits.size(), u'0') + digits;
}

std::u16string ZebraLabels(const ReceivedCall& call) {
  std::u16string text;
  for (const ReceivedRecord& label : call.lists.at(u"labels")) {
    const std::u16string lines[] = {
        u"^XA",
        u"^LH" + call.scalars.at(u"x") + u"," + call.scalars.at(u"y"),
        u"^FO20,20^A0N,28,28^FDMITT: " + Field(label, u"MittenteRagioneSociale") + u" (" +
            Field(label, u"MittenteProvincia") + u")^FS",
        u"^FO20,60^A0N,36,36^FD" + Field(label, u"DestinatarioRagioneSociale") + u"^FS",
        u"^FO20,105^A0N,28,28^FD" + Field(label, u"DestinatarioIndirizzo") + u"^FS",
        u"^FO20,140^A0N,28,28^FD" + Field(label, u"DestinatarioCap") + u" " +
            Field(label, u"DestinatarioLocalita") + u" " + Field(label, u"DestinatarioProvincia") +
            u"^FS",
        u"^FO20,190^A0N,60,60^FD" + Padded(label, u"POArrivo", 3) + u" " +
            Field(label, u"POArrivoDescrizione") + u"^FS",
        u"^FO20,260^A0N,28,28^FDCOLLO " + Field(label, u"NumeroSegnaCollo") + u" DI " +
            Field(label, u"NumeroSegnaColloDi") + u" PESO " + Field(label, u"Peso") + u"^FS",
        u"^FO20,300^BCN,100,Y,N,N^FD" + Padded(label, u"POSegnacollo", 3) +
            Padded(label, u"POArrivo", 3) + Padded(label, u"NumeroSerie", 2) +
            Padded(label, u"NumeroSegnaCollo", 7) + Padded(label, u"ZonaSegnaCollo", 2) + u"^FS",
        u"^XZ",
    };
    for (const std::u16string& line : lines) text += line + u"\n";
  }
  return text;
}

std::string PdfDocument(const ReceivedCall& call) {
  return "%PDF-1.4\n% EasySped stand-in: " + std::to_string(call.lists.at(u"labels").size()) +
         " labels, dialogToPrint " + Utf16ToUtf8(call.scalars.at(u"dialogToPrint")) +
         ", fakeLabels " + Utf16ToUtf8(call.scalars.at(u"fakeLabels")) + "\n%%EOF\n";
}

void WriteRoutingRecord(XmlNode result, const ReceivedRecord& reply) {
  const std::u16string_view namespace_uri = kDestinationAddressOut.namespace_uri;
  result.DeclareNamespace(namespace_uri, u"a");
  result.DeclareNamespace(kXmlSchemaInstanceNamespace, u"i");
  for (const MemberType& member : kDestinationAddressOut.members) {
    XmlNode element = result.AppendElement(namespace_uri, member.name);
    const auto found = reply.find(member.name);
    if (found == reply.end()) {
      element.SetAttribute(kXmlSchemaInstanceNamespace, u"nil", u"true");
    } else if (!found->second.empty()) {
      element.AppendText(found->second);
    }
  }
}

XmlDocument NewEnvelope(XmlNode& body) {
  XmlDocument document = XmlDocument::Create(kSoapEnvelopeNamespace, u"s", u"Envelope");
  body = document.DocumentElement().AppendElement(kSoapEnvelopeNamespace, u"Body");
  return document;
}

}  // namespace

std::string ReplyEnvelope(const Options& options, const ReceivedCall& call) {
  XmlNode body(nullptr);
  XmlDocument document = NewEnvelope(body);
  const easysped::Operation& names = call.operation->names;
  const std::u16string namespace_uri = OperationNamespace(options);
  XmlNode result =
      body.AppendElement(namespace_uri, std::u16string(names.name) + u"Response", u"r")
          .AppendElement(namespace_uri, options.misbehaviour == Misbehaviour::kOtherChildName
                                            ? u"Result"
                                            : names.result);
  if (options.misbehaviour == Misbehaviour::kNil) {
    result.SetAttribute(kXmlSchemaInstanceNamespace, u"nil", u"true", u"i");
  } else if (call.operation->result == ResultShape::kRoutingRecord) {
    WriteRoutingRecord(result, Route(call.records.at(u"address")));
  } else if (call.operation->result == ResultShape::kBytes) {
    result.AppendText(Ascii(EncodeBase64(PdfDocument(call))));
  } else if (names.name == easysped::kSayHello.name) {
    result.AppendText(u"Hello " + call.scalars.at(u"name"));
  } else {
    result.AppendText(ZebraLabels(call));
  }
  return document.Bytes();
}

std::string FaultEnvelope(std::u16string_view code, std::u16string_view text,
                          std::u16string_view actor, std::u16string_view detail) {
  XmlNode body(nullptr);
  XmlDocument document = NewEnvelope(body);
  XmlNode fault = body.AppendElement(kSoapEnvelopeNamespace, u"Fault");
  fault.AppendElement(u"", u"faultcode").AppendText(u"s:" + std::u16string(code));
  fault.AppendElement(u"", u"faultstring").AppendText(text);
  fault.AppendElement(u"", u"faultactor").AppendText(actor);
  fault.AppendElement(u"", u"detail")
      .AppendElement(u"urn:easysped-standin", u"Reason", u"sd")
      .AppendText(detail);
  return document.Bytes();
}

}  // namespace vorlabws::standin
