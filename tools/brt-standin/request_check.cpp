#include "tools/brt-standin/request_check.h"

#include <regex>

#include "platform/code_page.h"
#include "platform/xml.h"

namespace vorlabws::standin {
namespace {

using easysped::kSoapEnvelopeNamespace;
using easysped::kXmlSchemaInstanceNamespace;

constexpr char kContentType[] = "text/xml; charset=\"utf-8\"";

std::string U8(std::u16string_view text) { return Utf16ToUtf8(text); }

[[noreturn]] void Reject(const std::string& why) { throw RequestRejected(why); }

std::string Describe(const XmlNode& element) {
  const std::u16string namespace_uri = element.NamespaceUri();
  return U8(element.LocalName()) +
         (namespace_uri.empty() ? " without namespace" : " in " + U8(namespace_uri));
}

// The element children; character data other than blanks between them is a fault.
std::vector<XmlNode> ElementsOf(const XmlNode& parent, const std::string& what) {
  for (int i = 0; i < parent.ChildCount(); ++i) {
    const XmlNode child = parent.Child(i);
    if (child.IsElement() || child.NodeName() == u"#comment") continue;
    if (child.Text().find_first_not_of(u" \t\r\n") != std::u16string::npos) {
      Reject(what + " holds text between its elements");
    }
  }
  return parent.ChildElements();
}

void ExpectElement(const XmlNode& element, std::u16string_view namespace_uri,
                   std::u16string_view local_name, const std::string& what) {
  if (element.LocalName() != local_name || element.NamespaceUri() != namespace_uri) {
    Reject(what + " is " + Describe(element) + " where " + U8(local_name) + " in " +
           U8(namespace_uri) + " was expected");
  }
}

bool Nillable(XsdType type) {
  return type == XsdType::kString || type == XsdType::kDecimal || type == XsdType::kDateTime;
}

bool MatchesLexicalForm(const std::string& text, XsdType type) {
  static const std::regex integer("-?[0-9]+");
  static const std::regex decimal("[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)");
  static const std::regex date_time(
      "-?[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]+)?"
      "(Z|[+-][0-9]{2}:[0-9]{2})?");
  switch (type) {
    case XsdType::kString:
      return true;
    case XsdType::kShort:
    case XsdType::kInt:
    case XsdType::kLong: {
      if (!std::regex_match(text, integer)) return false;
      const int bits = type == XsdType::kShort ? 16 : type == XsdType::kInt ? 32 : 64;
      try {
        const long long value = std::stoll(text);
        return bits == 64 || (value >= -(1LL << (bits - 1)) && value < (1LL << (bits - 1)));
      } catch (const std::out_of_range&) {
        return false;
      }
    }
    case XsdType::kBoolean:
      return text == "true" || text == "false" || text == "1" || text == "0";
    case XsdType::kDecimal:
      return std::regex_match(text, decimal);
    case XsdType::kDateTime:
      return std::regex_match(text, date_time);
    case XsdType::kLabelType:
      return text == "0" || text == "1" || text == "2" || text == "3";
  }
  return false;
}

// The value's text; nullopt for a nillable value marked nil, which must then be empty.
std::optional<std::u16string> CheckValue(const XmlNode& element, XsdType type,
                                         const std::string& what) {
  const std::optional<std::u16string> nil = element.Attribute(kXmlSchemaInstanceNamespace, u"nil");
  if (nil) {
    if (*nil != u"true" || !Nillable(type)) Reject(what + " is marked nil but cannot be");
    if (element.ChildCount() != 0) Reject(what + " is marked nil but has content");
    return std::nullopt;
  }
  if (!element.ChildElements().empty()) Reject(what + " holds elements where a value belongs");
  const std::u16string text = element.Text();
  if (!MatchesLexicalForm(U8(text), type)) {
    Reject(what + " '" + U8(text) + "' is not a valid " + U8(SchemaTypeName(type)));
  }
  return text;
}

// A record element: an xsi:type, if any, naming the record's type, then members in the record's
// namespace, each known, in member order and at most once.
ReceivedRecord CheckRecord(const XmlNode& element, const RecordType& record,
                           const std::string& what) {
  if (const auto type = element.Attribute(kXmlSchemaInstanceNamespace, u"type")) {
    const size_t colon = type->find(u':');
    const std::u16string prefix = colon == std::u16string::npos ? u"" : type->substr(0, colon);
    const std::u16string local = type->substr(colon == std::u16string::npos ? 0 : colon + 1);
    if (local != record.name || element.NamespaceOfPrefix(prefix) != record.namespace_uri) {
      Reject(what + " has xsi:type " + U8(*type) + " where " + U8(record.name) + " in " +
             U8(record.namespace_uri) + " was expected");
    }
  }
  ReceivedRecord received;
  size_t next = 0;  // members before this place are behind us
  for (const XmlNode& child : ElementsOf(element, what)) {
    const std::u16string name = child.LocalName();
    const std::string member_what = "member " + U8(name) + " of " + what;
    size_t place = 0;
    while (place < record.members.size() && record.members[place].name != name) ++place;
    if (place == record.members.size())
      Reject(member_what + " is not a member of " + U8(record.name));
    if (child.NamespaceUri() != record.namespace_uri) {
      Reject(member_what + " is in " + U8(child.NamespaceUri()) + " where " +
             U8(record.namespace_uri) + " was expected");
    }
    if (place < next) Reject(member_what + " is out of order or repeated");
    next = place + 1;
    if (const auto value = CheckValue(child, record.members[place].type, member_what)) {
      received[name] = *value;
    }
  }
  return received;
}

void CheckParameter(const XmlNode& element, const ParameterType& parameter, ReceivedCall& call) {
  const std::string what = "parameter " + U8(parameter.name);
  switch (parameter.shape) {
    case ParameterShape::kScalar:
      call.scalars[std::u16string(parameter.name)] =
          CheckValue(element, parameter.scalar_type, what).value_or(u"");
      return;
    case ParameterShape::kRecord:
      call.records[std::u16string(parameter.name)] = CheckRecord(element, *parameter.record, what);
      return;
    case ParameterShape::kLabelList: {
      std::vector<ReceivedRecord>& labels = call.lists[std::u16string(parameter.name)];
      for (const XmlNode& item : ElementsOf(element, what)) {
        const std::string item_what = "item " + std::to_string(labels.size() + 1) + " of " + what;
        ExpectElement(item, parameter.record->namespace_uri, easysped::kArrayItemName, item_what);
        labels.push_back(CheckRecord(item, *parameter.record, item_what));
      }
      return;
    }
  }
}

const OperationType& FindOperation(const XmlNode& element, const Options& options) {
  for (const OperationType& operation : Operations()) {
    if (element.LocalName() != operation.names.name) continue;
    ExpectElement(element, OperationNamespace(options), operation.names.name,
                  "the operation element");
    return operation;
  }
  Reject("the Body holds " + Describe(element) + ", which is no operation of the service");
}

}  // namespace

ReceivedCall CheckRequest(const Options& options, const std::string& content_type,
                          const std::string& soap_action, const std::string& body) {
  if (content_type != kContentType) {
    Reject("Content-Type '" + content_type + "' where '" + kContentType + "' was expected");
  }
  XmlDocument document;
  try {
    document = XmlDocument::Parse(body, u"the request");
  } catch (const XmlError& error) {
    Reject(error.what());
  }
  const XmlNode envelope = document.DocumentElement();
  ExpectElement(envelope, kSoapEnvelopeNamespace, u"Envelope", "the document element");
  if (envelope.Attribute(kSoapEnvelopeNamespace, u"encodingStyle")) {
    Reject("the Envelope carries an encodingStyle");
  }
  const std::vector<XmlNode> parts = ElementsOf(envelope, "the Envelope");
  if (parts.size() != 1) Reject("the Envelope holds more than its Body");
  ExpectElement(parts[0], kSoapEnvelopeNamespace, u"Body", "the Envelope's element");
  const std::vector<XmlNode> contents = ElementsOf(parts[0], "the Body");
  if (contents.size() != 1)
    Reject("the Body holds " + std::to_string(contents.size()) +
           " elements where one operation element was expected");

  ReceivedCall call;
  call.operation = &FindOperation(contents[0], options);
  const std::string action = "\"" + U8(ExpectedAction(options, call.operation->names.name)) + "\"";
  if (soap_action != action)
    Reject("SOAPAction '" + soap_action + "' where '" + action + "' was expected");

  const std::vector<XmlNode> parameters = ElementsOf(contents[0], "the operation element");
  const std::vector<ParameterType>& expected = call.operation->parameters;
  for (size_t i = 0; i < std::max(parameters.size(), expected.size()); ++i) {
    const std::string what =
        "parameter " + std::to_string(i + 1) + " of " + U8(call.operation->names.name);
    if (i >= parameters.size()) Reject(what + " is missing");
    if (i >= expected.size()) Reject(what + " is one too many: " + Describe(parameters[i]));
    ExpectElement(parameters[i], OperationNamespace(options), expected[i].name, what);
    CheckParameter(parameters[i], expected[i], call);
  }
  return call;
}

}  // namespace vorlabws::standin
