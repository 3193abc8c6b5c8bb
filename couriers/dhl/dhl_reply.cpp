#include "couriers/dhl/dhl_reply.h"

#include "jobs/outcomes.h"
#include "platform/base64.h"
#include "platform/code_page.h"

namespace vorlabws {
namespace {

// The entry names of the reply's routing values. ROUTING_CODE_DATA_INDENTIFIER is the service's
// own spelling.
struct RoutingName {
  std::u16string_view name;
  std::u16string DhlRouting::*value;
};
const RoutingName kRoutingNames[] = {
    {u"PRODUCT_NAME", &DhlRouting::Prodotto},
    {u"ORG_COUNTRY_NAME", &DhlRouting::Mitt_Nazione},
    {u"ORG_SRVA_CODE", &DhlRouting::Mitt_Filiale},
    {u"DEST_SRVA_CODE", &DhlRouting::Dest_Filiale},
    {u"DEST_FAC_CODE", &DhlRouting::Zona_Segnacollo},
    {u"CONTENT_CODE", &DhlRouting::CODICE_PRODOTTO},
    {u"CONTENT_VIDEO", &DhlRouting::SFONDO_PRODOTTO},
    {u"DEST_COUNTRY_NAME", &DhlRouting::Dest_Nazione},
    {u"ROUTING_CODE_DATA_INDENTIFIER", &DhlRouting::PO_SEGNACOLLO},
    {u"ROUTING_CODE_TEXT", &DhlRouting::PO_SEGNACOLLO_DESCR},
};

// The attribute's value; its absence is a reply the job cannot use.
std::u16string Required(const XmlNode& node, std::u16string_view attribute, const std::string& what,
                        const std::u16string& source) {
  const std::optional<std::u16string> value = node.Attribute(attribute);
  if (!value) {
    throw DhlReplyError(what + " of " + Utf16ToUtf8(source) + " has no " + Utf16ToUtf8(attribute) +
                        " attribute");
  }
  return *value;
}

void ReadMessage(const XmlNode& message, const std::u16string& source, DhlReply& reply) {
  const std::optional<std::u16string> category = message.Attribute(u"Category");
  if (category == u"Error") {
    reply.error_outcome = std::u16string(kErroreDatiSpedizione);
  } else if (category == u"Validation Error") {
    reply.error_outcome =
        u"003 - " + Required(message, u"Description", "Validation Error message", source);
  }
}

void ReadData(const XmlNode& data, const std::u16string& source, DhlRouting& routing) {
  for (int j = 0; j < data.ChildCount(); ++j) {
    const XmlNode entry = data.Child(j);
    const std::optional<std::u16string> name = entry.Attribute(u"Name");
    for (const RoutingName& routing_name : kRoutingNames) {
      if (name == routing_name.name) {
        routing.*routing_name.value =
            Required(entry, u"Value", "Data entry " + Utf16ToUtf8(*name), source);
        break;
      }
    }
  }
}

// The print document travels as base64 of its Windows-1252 bytes.
std::u16string DecodePrintCommand(const XmlNode& document, int number,
                                  const std::u16string& source) {
  const std::u16string text =
      Required(document, u"PrintCommand", "PrintDocument " + std::to_string(number), source);
  return Cp1252ToUtf16(DecodeBase64(text));
}

}  // namespace

DhlReply ReadReply(const XmlDocument& reply_document, const std::u16string& source) {
  const XmlNode Nodo = reply_document.DocumentElement().Child(0).Child(0);
  DhlReply reply;
  int Document = 0;
  for (int i = 0; i < Nodo.ChildCount(); ++i) {
    const XmlNode child = Nodo.Child(i);
    const std::u16string name = child.NodeName();
    if (name == u"Message") {
      ReadMessage(child, source, reply);
    } else if (name == u"Data") {
      ReadData(child, source, reply.routing);
    } else if (name == u"PrintDocument" && Document == 0) {
      reply.Report_Etichetta = DecodePrintCommand(child, 1, source);
      Document = 1;
    } else if (name == u"PrintDocument" && Document == 1) {
      reply.Report_Archivio = DecodePrintCommand(child, 2, source);
      Document = 2;
    }
  }
  return reply;
}

}  // namespace vorlabws
