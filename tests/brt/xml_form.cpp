#include "tests/brt/xml_form.h"

#include <algorithm>
#include <vector>

#include "couriers/brt/easyspeddews_contract.h"
#include "platform/code_page.h"
#include "platform/xml.h"

namespace vorlabws::testing {
namespace {

std::string Expanded(std::u16string_view namespace_uri, std::u16string_view local_name) {
  return "{" + Utf16ToUtf8(namespace_uri) + "}" + Utf16ToUtf8(local_name);
}

std::string AttributeValue(const XmlNode& element, const XmlAttribute& attribute) {
  if (attribute.namespace_uri != easysped::kXmlSchemaInstanceNamespace ||
      attribute.local_name != u"type") {
    return Utf16ToUtf8(attribute.value);
  }
  const size_t colon = attribute.value.find(u':');
  const std::u16string prefix =
      colon == std::u16string::npos ? u"" : attribute.value.substr(0, colon);
  return Expanded(element.NamespaceOfPrefix(prefix).value_or(u"?"),
                  attribute.value.substr(colon == std::u16string::npos ? 0 : colon + 1));
}

bool IsBlank(const std::u16string& text) {
  return text.find_first_not_of(u" \t\r\n") == std::u16string::npos;
}

std::string Quoted(const std::u16string& text) {
  std::string out = "\"";
  for (const char c : Utf16ToUtf8(text)) {
    out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  }
  return out + "\"";
}

void Write(const XmlNode& element, const std::string& indent, std::string& out) {
  out += indent + Expanded(element.NamespaceUri(), element.LocalName()) + "\n";
  std::vector<std::string> attributes;
  for (const XmlAttribute& attribute : element.Attributes()) {
    attributes.push_back(indent + "  @" + Expanded(attribute.namespace_uri, attribute.local_name) +
                         "=" + AttributeValue(element, attribute) + "\n");
  }
  std::sort(attributes.begin(), attributes.end());
  for (const std::string& line : attributes) out += line;
  const bool has_elements = !element.ChildElements().empty();
  for (int i = 0; i < element.ChildCount(); ++i) {
    const XmlNode child = element.Child(i);
    if (child.IsElement()) {
      Write(child, indent + "  ", out);
    } else if (child.NodeName() == u"#text" || child.NodeName() == u"#cdata-section") {
      if (!(has_elements && IsBlank(child.Text())))
        out += indent + "  " + Quoted(child.Text()) + "\n";
    }
  }
}

}  // namespace

std::string NamespaceAwareForm(std::string_view xml) {
  std::string out;
  Write(XmlDocument::Parse(xml, u"compared document").DocumentElement(), "", out);
  return out;
}

std::string WithContractNamespaces(std::string text) {
  const std::pair<std::string, std::u16string_view> names[] = {
      {"$SERVICE", easysped::kServiceNamespace},
      {"$DAL", easysped::kDalNamespace},
      {"$PL", easysped::kPrintlabelNamespace}};
  for (const auto& [placeholder, uri] : names) {
    const std::string value = Utf16ToUtf8(uri);
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
      text.replace(at, placeholder.size(), value);
    }
  }
  return text;
}

}  // namespace vorlabws::testing
