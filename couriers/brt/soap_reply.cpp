#include "couriers/brt/soap_reply.h"

#include <set>

#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/soap_failures.h"
#include "platform/base64.h"
#include "platform/code_page.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

using easysped::kSoapEnvelopeNamespace;
using easysped::kXmlSchemaInstanceNamespace;

bool IsSoapElement(const XmlNode& node, std::u16string_view local_name) {
  return node.LocalName() == local_name && node.NamespaceUri() == kSoapEnvelopeNamespace;
}

// The text of the fault's child of that local name; empty when it has none.
std::u16string FaultPart(const XmlNode& fault, std::u16string_view local_name, bool as_markup) {
  for (const XmlNode& child : fault.ChildElements()) {
    if (child.LocalName() == local_name) {
      return as_markup ? Utf8ToUtf16(child.Markup()) : child.Text();
    }
  }
  return u"";
}

[[noreturn]] void RaiseFault(const XmlNode& fault) {
  throw SoapFault(FaultPart(fault, u"faultstring", false), FaultPart(fault, u"faultcode", false),
                  FaultPart(fault, u"faultactor", false), FaultPart(fault, u"detail", true));
}

std::u16string Describe(const XmlNode& element) {
  const std::u16string namespace_uri = element.NamespaceUri();
  return element.LocalName() +
         (namespace_uri.empty() ? u" without namespace" : u" in " + namespace_uri);
}

}  // namespace

SoapFault::SoapFault(const std::u16string& faultstring, std::u16string faultcode,
                     std::u16string faultactor, std::u16string detail)
    : Failure(Utf16ToUtf8(faultstring)),
      faultcode_(std::move(faultcode)),
      faultactor_(std::move(faultactor)),
      detail_(std::move(detail)) {}

SoapReply::SoapReply(std::string_view bytes, std::u16string_view source) : source_(source) {
  try {
    document_ = XmlDocument::Parse(bytes, source);
  } catch (const XmlError& error) {
    throw InvalidReply(std::string("Invalid SOAP reply: ") + error.what());
  }
  const XmlNode envelope = document_.DocumentElement();
  if (!IsSoapElement(envelope, u"Envelope")) {
    RaiseInvalid("the document element is " + Utf16ToUtf8(Describe(envelope)) +
                 ", not a SOAP 1.1 Envelope");
  }
  std::optional<XmlNode> body;
  for (const XmlNode& child : envelope.ChildElements()) {
    if (!IsSoapElement(child, u"Body")) continue;
    if (body) RaiseInvalid("more than one Body");
    body = child;
  }
  if (!body) RaiseInvalid("no Body");
  const std::vector<XmlNode> contents = body->ChildElements();
  if (contents.empty()) return;
  if (contents.front().LocalName() == u"Fault") RaiseFault(contents.front());
  wrapper_ = contents.front();
}

std::optional<XmlNode> SoapReply::ResultElement(std::u16string_view result_name) const {
  if (!wrapper_) return std::nullopt;
  const std::vector<XmlNode> children = wrapper_->ChildElements();
  for (const XmlNode& child : children) {
    if (SameTextIgnoringCase(child.LocalName(), result_name)) return child;
  }
  if (children.size() == 1) return children.front();
  return std::nullopt;
}

XmlNode SoapReply::RequiredResult(std::u16string_view result_name) const {
  const std::optional<XmlNode> element = ResultElement(result_name);
  if (!element) RaiseInvalid("no " + Utf16ToUtf8(result_name) + " element");
  return *element;
}

std::u16string SoapReply::TextResult(std::u16string_view result_name) const {
  return RequiredResult(result_name).Text();
}

std::vector<uint8_t> SoapReply::BytesResult(std::u16string_view result_name) const {
  const XmlNode element = RequiredResult(result_name);
  try {
    const std::string bytes = DecodeBase64(element.Text());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  } catch (const ConvertError& error) {
    RaiseInvalid(Utf16ToUtf8(result_name) + ": " + error.what());
  }
}

void SoapReply::RaiseInvalid(const std::string& why) const {
  throw InvalidReply("Invalid SOAP reply from " + Utf16ToUtf8(source_) + ": " + why);
}

bool IsNil(const XmlNode& element) {
  const std::optional<std::u16string> nil = element.Attribute(kXmlSchemaInstanceNamespace, u"nil");
  return nil == u"true" || nil == u"1";
}

bool NamesSchemaType(const XmlNode& element, std::u16string_view namespace_uri,
                     std::u16string_view type_name) {
  const std::optional<std::u16string> type =
      element.Attribute(kXmlSchemaInstanceNamespace, u"type");
  if (!type) return false;
  const size_t colon = type->find(u':');
  const std::u16string prefix = colon == std::u16string::npos ? u"" : type->substr(0, colon);
  const std::u16string local = colon == std::u16string::npos ? *type : type->substr(colon + 1);
  return local == type_name && element.NamespaceOfPrefix(prefix) == namespace_uri;
}

void ReadMembers(const XmlNode& element, SoapRecord& record) {
  std::set<std::u16string> seen;
  for (const XmlNode& child : element.ChildElements()) {
    const std::u16string name = child.LocalName();
    if (!seen.insert(name).second) continue;
    record.SetMemberFromWire(name, IsNil(child) ? WireText() : WireText(child.Text()));
  }
}

}  // namespace vorlabws
