#include "couriers/brt/wsdl.h"

#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/soap_failures.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace vorlabws {
namespace {

using easysped::kWsdlNamespace;
using easysped::kWsdlSoapNamespace;

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
  return SameTextIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Raised inside this unit with the reason only; the caller adds service, port and location.
class DescriptionProblem : public Failure {
 public:
  using Failure::Failure;
};

std::string Fetch(const std::u16string& location, HttpClient& client) {
  if (!StartsWithIgnoringCase(location, u"http://") &&
      !StartsWithIgnoringCase(location, u"https://")) {
    return ReadFileBytes(location);
  }
  const HttpResponse response = client.Get(location, [](long status) { return status <= 299; });
  if (response.status > 299) {
    throw DescriptionProblem(Utf16ToUtf8(response.status_text) + " (" +
                             std::to_string(response.status) + ")");
  }
  return response.body;
}

// The first child element in that namespace with that local name whose "name" attribute is `name`
// (any "name" when `name` is empty).
std::optional<XmlNode> FindChild(const XmlNode& parent, std::u16string_view namespace_uri,
                                 std::u16string_view local_name, std::u16string_view name = {}) {
  for (const XmlNode& child : parent.ChildElements()) {
    if (child.LocalName() != local_name || child.NamespaceUri() != namespace_uri) continue;
    if (name.empty() || child.Attribute(u"name") == name) return child;
  }
  return std::nullopt;
}

std::optional<std::u16string> NonEmptyAttribute(const std::optional<XmlNode>& element,
                                                std::u16string_view name) {
  if (!element) return std::nullopt;
  std::optional<std::u16string> value = element->Attribute(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

std::u16string LocalPart(const std::u16string& qualified_name) {
  const size_t colon = qualified_name.find(u':');
  return colon == std::u16string::npos ? qualified_name : qualified_name.substr(colon + 1);
}

// Each operation of the binding named by the port: soap:operation's soapAction and the namespace
// of the input's soap:body. A port whose binding is missing leaves every operation unbound.
void ReadBinding(const XmlNode& definitions, const XmlNode& port, ServiceDescription& description) {
  const std::u16string binding_name = LocalPart(port.Attribute(u"binding").value_or(u""));
  if (binding_name.empty()) return;
  const std::optional<XmlNode> binding =
      FindChild(definitions, kWsdlNamespace, u"binding", binding_name);
  if (!binding) return;
  for (const XmlNode& operation : binding->ChildElements()) {
    if (operation.LocalName() != u"operation" || operation.NamespaceUri() != kWsdlNamespace) {
      continue;
    }
    const std::optional<XmlNode> input = FindChild(operation, kWsdlNamespace, u"input");
    description.operations[operation.Attribute(u"name").value_or(u"")] = {
        NonEmptyAttribute(FindChild(operation, kWsdlSoapNamespace, u"operation"), u"soapAction"),
        NonEmptyAttribute(input ? FindChild(*input, kWsdlSoapNamespace, u"body") : std::nullopt,
                          u"namespace")};
  }
}

ServiceDescription Interpret(const XmlDocument& document, std::u16string_view service_name,
                             std::u16string_view port_name) {
  const XmlNode definitions = document.DocumentElement();
  if (definitions.LocalName() != u"definitions" || definitions.NamespaceUri() != kWsdlNamespace) {
    throw DescriptionProblem("not a WSDL 1.1 document");
  }
  const std::optional<XmlNode> service =
      FindChild(definitions, kWsdlNamespace, u"service", service_name);
  if (!service) throw DescriptionProblem("no such service");
  const std::optional<XmlNode> port = FindChild(*service, kWsdlNamespace, u"port", port_name);
  if (!port) throw DescriptionProblem("no such port in the service");
  ServiceDescription description;
  description.endpoint =
      NonEmptyAttribute(FindChild(*port, kWsdlSoapNamespace, u"address"), u"location")
          .value_or(u"");
  if (description.endpoint.empty()) throw DescriptionProblem("the port has no SOAP address");
  ReadBinding(definitions, *port, description);
  return description;
}

}  // namespace

ServiceDescription ReadServiceDescription(const std::u16string& location,
                                          std::u16string_view service, std::u16string_view port,
                                          HttpClient& client) {
  try {
    // The schema in wsdl:types is most of a description and nothing here reads it.
    return Interpret(XmlDocument::Parse(Fetch(location, client), location, XmlBlanks::kKeep,
                                        {kWsdlNamespace, u"types"}),
                     service, port);
  } catch (const Failure& problem) {
    throw ServiceLocationFailure("Cannot locate service " + Utf16ToUtf8(service) + ", port " +
                                 Utf16ToUtf8(port) + " through the service description " +
                                 Utf16ToUtf8(location) + ": " + problem.what());
  }
}

}  // namespace vorlabws
