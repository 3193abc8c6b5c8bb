#include "platform/xml.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>
#include <new>

#include "platform/code_page.h"
#include "platform/files.h"

namespace vorlabws {
namespace {

struct XmlFree {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFree>;

struct ParserContextDeleter {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using ParserContext = std::unique_ptr<xmlParserCtxt, ParserContextDeleter>;

struct XmlBufferDeleter {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};
using XmlBufferHandle = std::unique_ptr<xmlBuffer, XmlBufferDeleter>;

const xmlChar* Chars(const std::string& text) {
  return reinterpret_cast<const xmlChar*>(text.c_str());
}

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }

std::u16string FromXml(const xmlChar* text) {
  return text == nullptr ? std::u16string() : Utf8ToUtf16(reinterpret_cast<const char*>(text));
}

std::u16string FromXml(const XmlString& text) { return FromXml(text.get()); }

template <typename T>
T* Created(T* made) {
  if (made == nullptr) throw std::bad_alloc();
  return made;
}

// Nothing outside the given bytes is ever read: a DTD or entity that names a file or URL gets no
// content, whatever the options of the parse.
xmlParserInputPtr DenyExternalEntity(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

// libxml2 prints its errors on standard error unless told otherwise; the parse reads them from its
// context instead and raises them with the source named.
void IgnoreError(void*, xmlErrorPtr) {}

void PrepareLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(DenyExternalEntity);
    xmlThrDefSetStructuredErrorFunc(nullptr, IgnoreError);
  });
  xmlSetStructuredErrorFunc(nullptr, IgnoreError);  // per thread in libxml2
}

// The first error of a parse, which names the fault; later ones are mostly its consequences.
struct FirstError {
  bool seen = false;
  std::string message;
  int line = 0;
  int column = 0;
};

// What one parse keeps beside its tree: the first error, and where it is leaving a part out.
struct ParseState {
  FirstError first_error;
  std::string left_out_namespace;  // UTF-8, as the parser reports names
  std::string left_out_name;       // empty: nothing is left out
  int depth = 0;                   // of the element being parsed; the document element is 1
  int left_out_depth = 0;          // of the element being left out; 0 while none is
};

ParseState& StateOf(void* context) {
  return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(context)->_private);
}

bool Named(const xmlChar* name, const std::string& expected) {
  return expected == (name == nullptr ? "" : reinterpret_cast<const char*>(name));
}

// The tree builder's own handlers, called except inside the part left out.
void StartElementLeavingOut(void* context, const xmlChar* local_name, const xmlChar* prefix,
                            const xmlChar* uri, int namespace_count, const xmlChar** namespaces,
                            int attribute_count, int defaulted_count, const xmlChar** attributes) {
  ParseState& state = StateOf(context);
  ++state.depth;
  if (state.left_out_depth == 0 && state.depth == 2 && Named(uri, state.left_out_namespace) &&
      Named(local_name, state.left_out_name)) {
    state.left_out_depth = state.depth;
  }
  if (state.left_out_depth != 0) return;
  xmlSAX2StartElementNs(context, local_name, prefix, uri, namespace_count, namespaces,
                        attribute_count, defaulted_count, attributes);
}

void EndElementLeavingOut(void* context, const xmlChar* local_name, const xmlChar* prefix,
                          const xmlChar* uri) {
  ParseState& state = StateOf(context);
  const int depth = state.depth--;
  if (state.left_out_depth != 0) {
    if (depth == state.left_out_depth) state.left_out_depth = 0;
    return;
  }
  xmlSAX2EndElementNs(context, local_name, prefix, uri);
}

void CharactersLeavingOut(void* context, const xmlChar* text, int length) {
  if (StateOf(context).left_out_depth == 0) xmlSAX2Characters(context, text, length);
}

void CdataLeavingOut(void* context, const xmlChar* text, int length) {
  if (StateOf(context).left_out_depth == 0) xmlSAX2CDataBlock(context, text, length);
}

void CommentLeavingOut(void* context, const xmlChar* text) {
  if (StateOf(context).left_out_depth == 0) xmlSAX2Comment(context, text);
}

void InstructionLeavingOut(void* context, const xmlChar* target, const xmlChar* data) {
  if (StateOf(context).left_out_depth == 0) xmlSAX2ProcessingInstruction(context, target, data);
}

void ReferenceLeavingOut(void* context, const xmlChar* name) {
  if (StateOf(context).left_out_depth == 0) xmlSAX2Reference(context, name);
}

void LeaveOut(xmlParserCtxt& context, ParseState& state, XmlElementName left_out) {
  state.left_out_namespace = Utf8(left_out.namespace_uri);
  state.left_out_name = Utf8(left_out.local_name);
  xmlSAXHandler& sax = *context.sax;
  sax.startElementNs = StartElementLeavingOut;
  sax.endElementNs = EndElementLeavingOut;
  sax.characters = CharactersLeavingOut;
  sax.ignorableWhitespace = CharactersLeavingOut;  // the blanks option may set its own
  sax.cdataBlock = CdataLeavingOut;
  sax.comment = CommentLeavingOut;
  sax.processingInstruction = InstructionLeavingOut;
  sax.reference = ReferenceLeavingOut;
}

void RecordFirstError(void* data, xmlErrorPtr error) {
  FirstError* first = &StateOf(data).first_error;
  if (first->seen || error->level < XML_ERR_ERROR) return;
  first->seen = true;
  first->message = error->message == nullptr ? "" : error->message;
  while (!first->message.empty() && first->message.back() == '\n') first->message.pop_back();
  first->line = error->line;
  first->column = error->int2;
}

[[noreturn]] void RaiseXmlError(const FirstError& error, std::u16string_view source) {
  std::string message = Utf8(source);
  if (error.seen) {
    message += ":" + std::to_string(error.line) + ":" + std::to_string(error.column) + ": " +
               error.message;
  } else {
    message += ": not a well-formed XML document";
  }
  throw XmlError(message);
}

std::u16string QualifiedName(const xmlNs* ns, const xmlChar* name) {
  std::u16string out;
  if (ns != nullptr && ns->prefix != nullptr) out = FromXml(ns->prefix) + u":";
  return out + FromXml(name);
}

std::u16string AttributeValue(xmlAttr* attribute) {
  return FromXml(XmlString(xmlNodeListGetString(attribute->doc, attribute->children, 1)));
}

// A prefixed binding of `namespace_uri` in scope at `node`, declared there when there is none.
xmlNs* NamespaceAt(xmlNode* node, std::u16string_view namespace_uri,
                   std::u16string_view prefix_hint) {
  const std::string uri = Utf8(namespace_uri);
  xmlNs* found = xmlSearchNsByHref(node->doc, node, Chars(uri));
  if (found != nullptr && found->prefix != nullptr) return found;
  const std::string hint = prefix_hint.empty() ? "ns" : Utf8(prefix_hint);
  std::string prefix = hint;
  for (int n = 1; xmlSearchNs(node->doc, node, Chars(prefix)) != nullptr; ++n) {
    prefix = hint + std::to_string(n);
  }
  return Created(xmlNewNs(node, Chars(uri), Chars(prefix)));
}

}  // namespace

void XmlDocDeleter::operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }

bool XmlNode::IsElement() const { return node_->type == XML_ELEMENT_NODE; }

std::u16string XmlNode::NodeName() const {
  switch (node_->type) {
    case XML_ELEMENT_NODE:
      return QualifiedName(node_->ns, node_->name);
    case XML_TEXT_NODE:
      return u"#text";
    case XML_CDATA_SECTION_NODE:
      return u"#cdata-section";
    case XML_COMMENT_NODE:
      return u"#comment";
    default:
      return FromXml(node_->name);
  }
}

std::u16string XmlNode::LocalName() const { return FromXml(node_->name); }

std::u16string XmlNode::NamespaceUri() const {
  return IsElement() && node_->ns != nullptr ? FromXml(node_->ns->href) : std::u16string();
}

std::u16string XmlNode::Text() const { return FromXml(XmlString(xmlNodeGetContent(node_))); }

int XmlNode::ChildCount() const {
  int count = 0;
  for (xmlNode* child = node_->children; child != nullptr; child = child->next) ++count;
  return count;
}

XmlNode XmlNode::Child(int index) const {
  int at = 0;
  for (xmlNode* child = node_->children; child != nullptr; child = child->next, ++at) {
    if (at == index) return XmlNode(child);
  }
  throw XmlError("Node " + Utf8(NodeName()) + " has no child node " + std::to_string(index) +
                 " (it has " + std::to_string(at) + ")");
}

std::vector<XmlNode> XmlNode::ChildElements() const {
  std::vector<XmlNode> elements;
  for (xmlNode* child = node_->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) elements.emplace_back(child);
  }
  return elements;
}

std::optional<std::u16string> XmlNode::Attribute(std::u16string_view qualified_name) const {
  if (!IsElement()) return std::nullopt;
  for (xmlAttr* attribute = node_->properties; attribute != nullptr; attribute = attribute->next) {
    if (QualifiedName(attribute->ns, attribute->name) == qualified_name) {
      return AttributeValue(attribute);
    }
  }
  return std::nullopt;
}

std::optional<std::u16string> XmlNode::Attribute(std::u16string_view namespace_uri,
                                                 std::u16string_view local_name) const {
  if (!IsElement()) return std::nullopt;
  const std::string uri = Utf8(namespace_uri);
  xmlAttr* attribute =
      xmlHasNsProp(node_, Chars(Utf8(local_name)), namespace_uri.empty() ? nullptr : Chars(uri));
  if (attribute == nullptr || attribute->type != XML_ATTRIBUTE_NODE) return std::nullopt;
  return AttributeValue(attribute);
}

std::vector<XmlAttribute> XmlNode::Attributes() const {
  std::vector<XmlAttribute> attributes;
  if (!IsElement()) return attributes;
  for (xmlAttr* attribute = node_->properties; attribute != nullptr; attribute = attribute->next) {
    attributes.push_back({QualifiedName(attribute->ns, attribute->name),
                          attribute->ns != nullptr ? FromXml(attribute->ns->href) : u"",
                          FromXml(attribute->name), AttributeValue(attribute)});
  }
  return attributes;
}

std::optional<std::u16string> XmlNode::NamespaceOfPrefix(std::u16string_view prefix) const {
  const std::string name = Utf8(prefix);
  const xmlNs* ns = xmlSearchNs(node_->doc, node_, prefix.empty() ? nullptr : Chars(name));
  if (ns == nullptr) return std::nullopt;
  return FromXml(ns->href);
}

std::string XmlNode::Markup() const {
  XmlBufferHandle buffer(Created(xmlBufferCreate()));
  xmlNodeDump(buffer.get(), node_->doc, node_, 0, 0);
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                     static_cast<size_t>(xmlBufferLength(buffer.get())));
}

XmlNode XmlNode::AppendElement(std::u16string_view namespace_uri, std::u16string_view local_name,
                               std::u16string_view prefix_hint) {
  xmlNode* child = Created(xmlNewDocNode(node_->doc, nullptr, Chars(Utf8(local_name)), nullptr));
  xmlAddChild(node_, child);
  if (!namespace_uri.empty()) xmlSetNs(child, NamespaceAt(child, namespace_uri, prefix_hint));
  return XmlNode(child);
}

void XmlNode::AppendText(std::u16string_view text) {
  const std::string bytes = Utf8(text);
  xmlAddChild(node_,
              Created(xmlNewDocTextLen(node_->doc, Chars(bytes), static_cast<int>(bytes.size()))));
}

void XmlNode::SetAttribute(std::u16string_view namespace_uri, std::u16string_view local_name,
                           std::u16string_view value, std::u16string_view prefix_hint) {
  const std::string name = Utf8(local_name);
  const std::string text = Utf8(value);
  if (namespace_uri.empty()) {
    Created(xmlSetProp(node_, Chars(name), Chars(text)));
  } else {
    Created(xmlSetNsProp(node_, NamespaceAt(node_, namespace_uri, prefix_hint), Chars(name),
                         Chars(text)));
  }
}

std::u16string XmlNode::DeclareNamespace(std::u16string_view namespace_uri,
                                         std::u16string_view prefix) {
  return FromXml(NamespaceAt(node_, namespace_uri, prefix)->prefix);
}

XmlDocument XmlDocument::Parse(std::string_view bytes, std::u16string_view source, XmlBlanks blanks,
                               XmlElementName left_out) {
  PrepareLibxml();
  if (bytes.size() > static_cast<size_t>(INT_MAX)) {
    throw XmlError(Utf8(source) + ": document too large");
  }
  ParserContext context(Created(xmlNewParserCtxt()));
  ParseState state;
  context->_private = &state;
  context->sax->serror = RecordFirstError;
  if (!left_out.local_name.empty()) LeaveOut(*context, state, left_out);
  // Never NOENT, DTDLOAD, DTDVALID, DTDATTR, XINCLUDE or HUGE: each would let the document reach
  // files, the network or unbounded memory.
  int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  if (blanks == XmlBlanks::kDrop) options |= XML_PARSE_NOBLANKS;
  XmlDocHandle doc(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, nullptr, options));
  if (doc == nullptr) RaiseXmlError(state.first_error, source);
  return XmlDocument(std::move(doc));
}

XmlDocument XmlDocument::Load(const std::u16string& path) {
  return Parse(ReadFileBytes(path), path, XmlBlanks::kDrop);
}

XmlDocument XmlDocument::Create(std::u16string_view namespace_uri, std::u16string_view prefix,
                                std::u16string_view local_name) {
  PrepareLibxml();
  XmlDocHandle doc(Created(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"))));
  xmlNode* root = Created(xmlNewDocNode(doc.get(), nullptr, Chars(Utf8(local_name)), nullptr));
  xmlDocSetRootElement(doc.get(), root);
  xmlSetNs(root, NamespaceAt(root, namespace_uri, prefix));
  return XmlDocument(std::move(doc));
}

XmlNode XmlDocument::DocumentElement() const {
  xmlNode* root = doc_ != nullptr ? xmlDocGetRootElement(doc_.get()) : nullptr;
  if (root == nullptr) throw XmlError("The XML document has no document element");
  return XmlNode(root);
}

std::string XmlDocument::Bytes() const {
  xmlChar* memory = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(DocumentElement().get()->doc, &memory, &size, "UTF-8");
  const XmlString owned(Created(memory));
  return std::string(reinterpret_cast<const char*>(owned.get()), static_cast<size_t>(size));
}

std::u16string EscapeXmlText(std::u16string_view text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (const char16_t c : text) {
    switch (c) {
      case u'&': escaped += u"&amp;"; break;
      case u'<': escaped += u"&lt;"; break;
      case u'>': escaped += u"&gt;"; break;
      case u'"': escaped += u"&quot;"; break;
      case u'\'': escaped += u"&apos;"; break;
      default: escaped.push_back(c);
    }
  }
  return escaped;
}

}  // namespace vorlabws
