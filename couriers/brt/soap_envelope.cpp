#include "couriers/brt/soap_envelope.h"

#include "couriers/brt/easyspeddews_contract.h"
#include "platform/xml.h"

namespace vorlabws {
namespace {

using easysped::kSoapEnvelopeNamespace;
using easysped::kXmlSchemaInstanceNamespace;
using easysped::kXmlSchemaNamespace;

// The element holds the record's specified members in member order; a subtype says its schema
// type, the declared type does not.
void WriteRecord(XmlNode element, const SoapRecord& record) {
  const std::u16string_view members_namespace = record.SchemaNamespace();
  const std::u16string prefix = element.DeclareNamespace(members_namespace, u"ns");
  if (record.IsRegisteredSubtype()) {
    element.SetAttribute(kXmlSchemaInstanceNamespace, u"type",
                         prefix + u":" + std::u16string(record.SchemaTypeName()), u"xsi");
  }
  for (const WireMember& member : record.SpecifiedMembers()) {
    XmlNode child = element.AppendElement(members_namespace, member.name);
    if (!member.text) {
      child.SetAttribute(kXmlSchemaInstanceNamespace, u"nil", u"true", u"xsi");
    } else if (!member.text->empty()) {
      child.AppendText(*member.text);
    }
  }
}

void WriteList(XmlNode element, const SoapRecordList& list) {
  if (!list.items.empty()) element.DeclareNamespace(list.items.front()->SchemaNamespace(), u"ns");
  for (const SoapRecord* item : list.items) {
    WriteRecord(element.AppendElement(item->SchemaNamespace(), list.item_name, u"ns"), *item);
  }
}

}  // namespace

std::string WriteRequestEnvelope(const SoapCall& call, std::u16string_view namespace_uri) {
  XmlDocument document = XmlDocument::Create(kSoapEnvelopeNamespace, u"SOAP-ENV", u"Envelope");
  XmlNode envelope = document.DocumentElement();
  envelope.DeclareNamespace(kXmlSchemaNamespace, u"xsd");
  envelope.DeclareNamespace(kXmlSchemaInstanceNamespace, u"xsi");
  XmlNode operation = envelope.AppendElement(kSoapEnvelopeNamespace, u"Body")
                          .AppendElement(namespace_uri, call.operation, u"ws");
  for (const SoapParameter& parameter : call.parameters) {
    XmlNode element = operation.AppendElement(namespace_uri, parameter.name);
    if (const auto* text = std::get_if<std::u16string>(&parameter.value)) {
      if (!text->empty()) element.AppendText(*text);
    } else if (const auto* record = std::get_if<const SoapRecord*>(&parameter.value)) {
      WriteRecord(element, **record);
    } else {
      WriteList(element, std::get<SoapRecordList>(parameter.value));
    }
  }
  return document.Bytes();
}

}  // namespace vorlabws
