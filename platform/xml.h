// XML documents through libxml2. An XmlDocument owns one parsed or built document; an XmlNode is a
// borrowed view of one of its nodes, valid while the document lives. Parsing never reaches beyond
// the bytes it is given: no network, no DTD, no external entity. Texts are UTF-16 on this side.
#pragma once

#include <libxml/tree.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"

namespace vorlabws {

// A document that is not well-formed, or a file or node that cannot be read as asked.
class XmlError : public Failure {
 public:
  using Failure::Failure;
};

struct XmlDocDeleter {
  void operator()(xmlDoc* doc) const;
};
using XmlDocHandle = std::unique_ptr<xmlDoc, XmlDocDeleter>;

// Whether whitespace-only text between elements forms nodes.
enum class XmlBlanks { kKeep, kDrop };

struct XmlAttribute {
  std::u16string qualified_name;  // as written, prefix included
  std::u16string namespace_uri;   // empty when the attribute has no namespace
  std::u16string local_name;
  std::u16string value;
};

class XmlNode {
 public:
  explicit XmlNode(xmlNode* node) : node_(node) {}

  bool IsElement() const;
  // The name as written, prefix included ("res:Message"); "#text", "#comment", "#cdata-section"
  // for character data and comments, the target for a processing instruction.
  std::u16string NodeName() const;
  std::u16string LocalName() const;
  std::u16string NamespaceUri() const;  // empty when the node has no namespace
  // The character data of the node and all its descendants.
  std::u16string Text() const;

  // Child nodes of every kind, in document order.
  int ChildCount() const;
  // Raises XmlError when `index` is outside 0 .. ChildCount() - 1.
  XmlNode Child(int index) const;
  std::vector<XmlNode> ChildElements() const;

  // The attribute written with this qualified name (prefix included); nullopt when absent, so an
  // absent attribute differs from an empty one.
  std::optional<std::u16string> Attribute(std::u16string_view qualified_name) const;
  // The attribute with this namespace and local name; nullopt when absent.
  std::optional<std::u16string> Attribute(std::u16string_view namespace_uri,
                                          std::u16string_view local_name) const;
  // Every attribute in document order (namespace declarations are not attributes here).
  std::vector<XmlAttribute> Attributes() const;
  // The namespace bound to `prefix` (empty: the default namespace) at this node; nullopt when
  // unbound. Reads qualified names in attribute values such as xsi:type.
  std::optional<std::u16string> NamespaceOfPrefix(std::u16string_view prefix) const;
  // The node written as XML (UTF-8 bytes), for messages and diagnostics.
  std::string Markup() const;

  // Building. A namespace already bound in scope is reused; otherwise it is declared on the new
  // element (or on this one, for attributes) with `prefix_hint`, numbered when that prefix is
  // taken. An empty `namespace_uri` means no namespace.
  XmlNode AppendElement(std::u16string_view namespace_uri, std::u16string_view local_name,
                        std::u16string_view prefix_hint = u"ns");
  void AppendText(std::u16string_view text);
  void SetAttribute(std::u16string_view namespace_uri, std::u16string_view local_name,
                    std::u16string_view value, std::u16string_view prefix_hint = u"ns");
  // Declares `prefix` for `namespace_uri` on this element (when not already bound so in scope) and
  // returns the prefix by which the namespace is reached here.
  std::u16string DeclareNamespace(std::u16string_view namespace_uri, std::u16string_view prefix);

  xmlNode* get() const { return node_; }

 private:
  xmlNode* node_;
};

// An element's namespace (empty: none) and local name.
struct XmlElementName {
  std::u16string_view namespace_uri;
  std::u16string_view local_name;
};

class XmlDocument {
 public:
  XmlDocument() = default;  // no document: DocumentElement raises XmlError

  // Parses `bytes`, in the encoding the document declares (UTF-8 by default). `source` names where
  // the bytes came from (a file name, a URL) in the message of a failure.
  // A child of the document element named `left_out` is left out of the tree with all it holds:
  // it is still parsed and checked, but no node of it is built (a large part never read).
  static XmlDocument Parse(std::string_view bytes, std::u16string_view source,
                           XmlBlanks blanks = XmlBlanks::kKeep, XmlElementName left_out = {});
  // Reads and parses a file; whitespace-only text between elements forms no nodes. A missing or
  // unreadable file raises FileError, a malformed one XmlError.
  static XmlDocument Load(const std::u16string& path);
  // A new document whose root element has this namespace (declared with `prefix`) and name.
  static XmlDocument Create(std::u16string_view namespace_uri, std::u16string_view prefix,
                            std::u16string_view local_name);

  bool Loaded() const { return doc_ != nullptr; }
  XmlNode DocumentElement() const;
  // The whole document as UTF-8 bytes, with its XML declaration.
  std::string Bytes() const;

 private:
  explicit XmlDocument(XmlDocHandle doc) : doc_(std::move(doc)) {}
  XmlDocHandle doc_;
};

// The text with the five characters XML reserves written as entities, so that it stands as plain
// character data or attribute value wherever a template puts it.
std::u16string EscapeXmlText(std::u16string_view text);

}  // namespace vorlabws
