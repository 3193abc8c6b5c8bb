#include "tools/brt-standin/service_description.h"

#include "platform/text.h"
#include "platform/xml.h"
#include "tools/brt-standin/contract_types.h"

namespace vorlabws::standin {
namespace {

using easysped::kWsdlNamespace;
using easysped::kWsdlSoapNamespace;
using easysped::kXmlSchemaNamespace;

constexpr std::u16string_view kBindingName = u"easyspedde_endpointBinding";

XmlNode AddNamed(XmlNode parent, std::u16string_view namespace_uri, std::u16string_view element,
                 std::u16string_view name) {
  XmlNode child = parent.AppendElement(namespace_uri, element);
  child.SetAttribute(u"", u"name", name);
  return child;
}

XmlNode AddSchema(XmlNode types, std::u16string_view target_namespace) {
  XmlNode schema = types.AppendElement(kXmlSchemaNamespace, u"schema");
  schema.SetAttribute(u"", u"targetNamespace", target_namespace);
  schema.SetAttribute(u"", u"elementFormDefault", u"qualified");
  return schema;
}

void AddSequenceElement(XmlNode sequence, std::u16string_view name, std::u16string_view type,
                        bool nillable) {
  XmlNode element = AddNamed(sequence, kXmlSchemaNamespace, u"element", name);
  element.SetAttribute(u"", u"type", type);
  element.SetAttribute(u"", u"minOccurs", u"0");
  if (nillable) element.SetAttribute(u"", u"nillable", u"true");
}

void AddRecordType(XmlNode schema, const RecordType& record) {
  XmlNode sequence = AddNamed(schema, kXmlSchemaNamespace, u"complexType", record.name)
                         .AppendElement(kXmlSchemaNamespace, u"sequence");
  for (const MemberType& member : record.members) {
    const bool nillable = member.type == XsdType::kString || member.type == XsdType::kDecimal ||
                          member.type == XsdType::kDateTime;
    AddSequenceElement(sequence, member.name, SchemaTypeName(member.type), nillable);
  }
}

void AddLabelTypes(XmlNode schema) {
  XmlNode restriction =
      AddNamed(schema, kXmlSchemaNamespace, u"simpleType", easysped::kLabelTypeType)
          .AppendElement(kXmlSchemaNamespace, u"restriction");
  restriction.SetAttribute(u"", u"base", u"xsd:string");
  for (const char16_t* value : {u"0", u"1", u"2", u"3"}) {
    restriction.AppendElement(kXmlSchemaNamespace, u"enumeration")
        .SetAttribute(u"", u"value", value);
  }
  XmlNode sequence =
      AddNamed(schema, kXmlSchemaNamespace, u"complexType", easysped::kArrayOfLabelToPrintType)
          .AppendElement(kXmlSchemaNamespace, u"sequence");
  XmlNode item = AddNamed(sequence, kXmlSchemaNamespace, u"element", easysped::kArrayItemName);
  item.SetAttribute(u"", u"type", u"pl:" + std::u16string(easysped::kLabelToPrintType));
  item.SetAttribute(u"", u"minOccurs", u"0");
  item.SetAttribute(u"", u"maxOccurs", u"unbounded");
  item.SetAttribute(u"", u"nillable", u"true");
}

std::u16string ParameterSchemaType(const ParameterType& parameter) {
  switch (parameter.shape) {
    case ParameterShape::kRecord:
      return u"dal:" + std::u16string(parameter.record->name);
    case ParameterShape::kLabelList:
      return u"pl:" + std::u16string(easysped::kArrayOfLabelToPrintType);
    case ParameterShape::kScalar:
      break;
  }
  return std::u16string(SchemaTypeName(parameter.scalar_type));
}

std::u16string ResultSchemaType(ResultShape shape) {
  switch (shape) {
    case ResultShape::kRoutingRecord:
      return u"dal:" + std::u16string(easysped::kDestinationAddressOutType);
    case ResultShape::kBytes:
      return u"xsd:base64Binary";
    case ResultShape::kText:
      break;
  }
  return u"xsd:string";
}

void AddOperationElements(XmlNode schema, const OperationType& operation) {
  XmlNode request = AddNamed(schema, kXmlSchemaNamespace, u"element", operation.names.name)
                        .AppendElement(kXmlSchemaNamespace, u"complexType")
                        .AppendElement(kXmlSchemaNamespace, u"sequence");
  for (const ParameterType& parameter : operation.parameters) {
    AddSequenceElement(request, parameter.name, ParameterSchemaType(parameter),
                       parameter.shape != ParameterShape::kScalar);
  }
  XmlNode response = AddNamed(schema, kXmlSchemaNamespace, u"element",
                              std::u16string(operation.names.name) + u"Response")
                         .AppendElement(kXmlSchemaNamespace, u"complexType")
                         .AppendElement(kXmlSchemaNamespace, u"sequence");
  AddSequenceElement(response, operation.names.result, ResultSchemaType(operation.result), true);
}

void AddTypes(XmlNode definitions, const Options& options) {
  XmlNode types = definitions.AppendElement(kWsdlNamespace, u"types");
  XmlNode dal = AddSchema(types, easysped::kDalNamespace);
  AddRecordType(dal, kDestinationAddress);
  AddRecordType(dal, kDestinationAddressOut);
  XmlNode printlabel = AddSchema(types, easysped::kPrintlabelNamespace);
  AddRecordType(printlabel, kLabelToPrint);
  AddLabelTypes(printlabel);
  XmlNode service = AddSchema(types, OperationNamespace(options));
  for (const OperationType& operation : Operations()) AddOperationElements(service, operation);
}

// Every name the description refers to by qualified name, through the prefixes declared on its
// root.
struct Prefixes {
  std::u16string target;     // the service namespace: messages, port type, binding
  std::u16string operation;  // the namespace of the operation elements
};

void AddMessages(XmlNode definitions, const Prefixes& prefixes) {
  for (const OperationType& operation : Operations()) {
    const std::u16string name(operation.names.name);
    for (const std::u16string& element : {name, name + u"Response"}) {
      const std::u16string message = element == name ? name + u"Request" : element;
      XmlNode part = AddNamed(AddNamed(definitions, kWsdlNamespace, u"message", message),
                              kWsdlNamespace, u"part", u"parameters");
      part.SetAttribute(u"", u"element", prefixes.operation + u":" + element);
    }
  }
}

void AddPortType(XmlNode definitions, const Prefixes& prefixes) {
  XmlNode port_type = AddNamed(definitions, kWsdlNamespace, u"portType", u"EasySpedDEWS");
  for (const OperationType& operation : Operations()) {
    const std::u16string name(operation.names.name);
    XmlNode element = AddNamed(port_type, kWsdlNamespace, u"operation", name);
    element.AppendElement(kWsdlNamespace, u"input")
        .SetAttribute(u"", u"message", prefixes.target + u":" + name + u"Request");
    element.AppendElement(kWsdlNamespace, u"output")
        .SetAttribute(u"", u"message", prefixes.target + u":" + name + u"Response");
  }
}

void AddBinding(XmlNode definitions, const Prefixes& prefixes, const Options& options) {
  XmlNode binding = AddNamed(definitions, kWsdlNamespace, u"binding", kBindingName);
  binding.SetAttribute(u"", u"type", prefixes.target + u":EasySpedDEWS");
  XmlNode soap_binding = binding.AppendElement(kWsdlSoapNamespace, u"binding");
  soap_binding.SetAttribute(u"", u"style", u"document");
  soap_binding.SetAttribute(u"", u"transport", u"http://schemas.xmlsoap.org/soap/http");
  for (const OperationType& operation : Operations()) {
    XmlNode element = AddNamed(binding, kWsdlNamespace, u"operation", operation.names.name);
    XmlNode soap_operation = element.AppendElement(kWsdlSoapNamespace, u"operation");
    const std::u16string action = PublishedAction(options, operation.names.name);
    if (!action.empty()) soap_operation.SetAttribute(u"", u"soapAction", action);
    soap_operation.SetAttribute(u"", u"style", u"document");
    XmlNode input_body =
        element.AppendElement(kWsdlNamespace, u"input").AppendElement(kWsdlSoapNamespace, u"body");
    input_body.SetAttribute(u"", u"use", u"literal");
    if (!options.body_namespace.empty()) {
      input_body.SetAttribute(u"", u"namespace", options.body_namespace);
    }
    element.AppendElement(kWsdlNamespace, u"output")
        .AppendElement(kWsdlSoapNamespace, u"body")
        .SetAttribute(u"", u"use", u"literal");
  }
}

void AddPort(XmlNode service, const Prefixes& prefixes, std::u16string_view name,
             const std::u16string& location) {
  XmlNode port = AddNamed(service, kWsdlNamespace, u"port", name);
  port.SetAttribute(u"", u"binding", prefixes.target + u":" + std::u16string(kBindingName));
  port.AppendElement(kWsdlSoapNamespace, u"address").SetAttribute(u"", u"location", location);
}

}  // namespace

std::string WriteServiceDescription(const Options& options) {
  XmlDocument document = XmlDocument::Create(kWsdlNamespace, u"wsdl", u"definitions");
  XmlNode definitions = document.DocumentElement();
  definitions.SetAttribute(u"", u"name", u"EasySpedDEWS");
  definitions.SetAttribute(u"", u"targetNamespace", easysped::kServiceNamespace);
  definitions.DeclareNamespace(kXmlSchemaNamespace, u"xsd");
  definitions.DeclareNamespace(kWsdlSoapNamespace, u"soap");
  definitions.DeclareNamespace(easysped::kDalNamespace, u"dal");
  definitions.DeclareNamespace(easysped::kPrintlabelNamespace, u"pl");
  const Prefixes prefixes{definitions.DeclareNamespace(easysped::kServiceNamespace, u"tns"),
                          definitions.DeclareNamespace(OperationNamespace(options), u"op")};
  AddTypes(definitions, options);
  AddMessages(definitions, prefixes);
  AddPortType(definitions, prefixes);
  AddBinding(definitions, prefixes, options);

  const std::u16string base = u"http://127.0.0.1:" + IntToText(options.port);
  const std::u16string test_location = base + Ascii(kEndpointPath) + u"-test";
  AddPort(AddNamed(definitions, kWsdlNamespace, u"service",
                   std::u16string(easysped::kServiceName) + u"Test"),
          prefixes, easysped::kPortName, test_location);
  XmlNode service = AddNamed(definitions, kWsdlNamespace, u"service", easysped::kServiceName);
  AddPort(service, prefixes, std::u16string(easysped::kPortName) + u"_test", test_location);
  if (options.port_published) {
    AddPort(service, prefixes, easysped::kPortName, base + Ascii(kEndpointPath));
  }
  return document.Bytes();
}

}  // namespace vorlabws::standin
