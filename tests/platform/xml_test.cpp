#include "platform/xml.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

// A folder of its own for the files one test writes, removed afterwards.
class XmlFiles : public ::testing::Test {
 protected:
  std::u16string Write(const std::string& name, const std::string& bytes) {
    const std::u16string path = Utf8ToUtf16(folder_.path() + name);
    WriteFileBytes(path, bytes);
    return path;
  }

  testing::TempFolder folder_;
};

// A reply as an external program writes it: indented, prefixed names, declared in Latin-1.
const std::string kIndentedReply =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<res:Reply xmlns:res=\"urn:reply\">\n"
    "  <Response>\n"
    "    <Status>\n"
    "      <res:Message Category=\"Error\" Description=\"\"/>\n"
    "      <!-- a note -->\n"
    "      <Data><Item Name=\"CITY\" Value=\"L'AQUILA \xC8\"/></Data>\n"
    "    </Status>\n"
    "  </Response>\n"
    "</res:Reply>\n";

TEST_F(XmlFiles, LoadedFileHasNoBlankNodesAndReadsNamesAndAttributes) {
  const XmlDocument document = XmlDocument::Load(Write("reply.txt", kIndentedReply));
  const XmlNode root = document.DocumentElement();
  EXPECT_EQ(root.NodeName(), u"res:Reply");
  ASSERT_EQ(root.ChildCount(), 1);
  const XmlNode status = root.Child(0).Child(0);
  EXPECT_EQ(status.NodeName(), u"Status");
  ASSERT_EQ(status.ChildCount(), 3);
  EXPECT_EQ(status.Child(1).NodeName(), u"#comment");

  const XmlNode message = status.Child(0);
  EXPECT_EQ(message.NodeName(), u"res:Message");
  EXPECT_EQ(message.LocalName(), u"Message");
  EXPECT_EQ(message.NamespaceUri(), u"urn:reply");
  EXPECT_EQ(message.Attribute(u"Category"), std::optional<std::u16string>(u"Error"));
  EXPECT_EQ(message.Attribute(u"Description"), std::optional<std::u16string>(u""));
  EXPECT_EQ(message.Attribute(u"PrintCommand"), std::nullopt);

  const XmlNode item = status.Child(2).Child(0);
  EXPECT_EQ(item.Attribute(u"Value"), std::optional<std::u16string>(u"L'AQUILA \u00C8"));
}

TEST_F(XmlFiles, ChildOutsideTheListIsAFailureNamingTheNode) {
  const XmlDocument document = XmlDocument::Load(Write("reply.txt", "<a>\n  <b/>\n</a>"));
  try {
    document.DocumentElement().Child(0).Child(0);
    FAIL() << "no failure";
  } catch (const XmlError& error) {
    EXPECT_STREQ(error.what(), "Node b has no child node 0 (it has 0)");
  }
}

TEST_F(XmlFiles, MissingFileIsAFileError) {
  EXPECT_THROW(XmlDocument::Load(Utf8ToUtf16(folder_.path() + "absent.txt")), FileError);
}

// Entities and DTDs that name a file or a URL must never bring their content in.
TEST_F(XmlFiles, ExternalEntitiesAndDtdsAreNeverRead) {
  const std::u16string secret = Write("secret.txt", "TOP-SECRET");
  Write("evil.dtd", "<!ENTITY leak SYSTEM \"file://" + folder_.path() + "secret.txt\">");
  struct Case {
    const char* name;
    std::string document;
  };
  const Case cases[] = {
      {"external general entity",
       "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + folder_.path() + "secret.txt\">]><r>&x;</r>"},
      {"external DTD",
       "<!DOCTYPE r SYSTEM \"file://" + folder_.path() + "evil.dtd\"><r>&leak;</r>"},
      {"parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"file://" + folder_.path() +
                               "evil.dtd\"> %p;]><r>&leak;</r>"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const std::u16string path = Write("doc.xml", row.document);
    for (const bool from_file : {true, false}) {
      try {
        const XmlDocument document =
            from_file ? XmlDocument::Load(path) : XmlDocument::Parse(row.document, u"doc.xml");
        EXPECT_EQ(document.DocumentElement().Text().find(u"SECRET"), std::u16string::npos);
        EXPECT_EQ(document.Bytes().find("SECRET"), std::string::npos);
      } catch (const XmlError&) {
        // Refusing the document is as good as leaving the entity empty.
      }
    }
  }
}

TEST(XmlParse, MalformedDocumentsNameSourceLineAndFirstFault) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"tag mismatch", "<a><b></a>",
       "http://host/x:1:11: Opening and ending tag mismatch: b line 1 and a"},
      {"empty", "", "http://host/x:1:1: Document is empty"},
      {"plain text", "Service Unavailable", "http://host/x:1:1: Start tag expected, '<' not found"},
      {"second line", "<a>\n<b x='1' x='2'/></a>", "http://host/x:2:15: Attribute x redefined"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    ::testing::internal::CaptureStderr();
    try {
      XmlDocument::Parse(row.bytes, u"http://host/x");
      ADD_FAILURE() << "no failure";
    } catch (const XmlError& error) {
      EXPECT_STREQ(error.what(), row.message);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

TEST(XmlParse, LeftOutChildOfTheDocumentElementBuildsNoNodes) {
  // Only the child of the document element with that namespace and name goes, with its text,
  // CDATA, comments, instructions and entities; a namesake elsewhere or in another namespace stays.
  const std::string bytes =
      "<d:doc xmlns:d=\"urn:d\" xmlns:o=\"urn:o\">"
      "<d:first/>"
      "<d:types a=\"1\">text &amp; more<![CDATA[x<y]]><!-- note --><?pi data?>"
      "<d:types/><inner><d:deep>t</d:deep></inner></d:types>"
      "<o:types>kept</o:types>"
      "<d:last><d:types>nested namesake</d:types></d:last>"
      "</d:doc>";
  for (const XmlBlanks blanks : {XmlBlanks::kKeep, XmlBlanks::kDrop}) {
    const XmlDocument document =
        XmlDocument::Parse(bytes, u"left out", blanks, {u"urn:d", u"types"});
    EXPECT_EQ(document.DocumentElement().Markup(),
              "<d:doc xmlns:d=\"urn:d\" xmlns:o=\"urn:o\"><d:first/><o:types>kept</o:types>"
              "<d:last><d:types>nested namesake</d:types></d:last></d:doc>");
  }
  const XmlDocument whole = XmlDocument::Parse(bytes, u"whole");
  EXPECT_EQ(whole.DocumentElement().ChildElements().size(), 4u);
}

TEST(XmlParse, LeftOutPartIsStillCheckedAsXml) {
  try {
    XmlDocument::Parse("<doc><types><a></b></types></doc>", u"http://host/x", XmlBlanks::kKeep,
                       {u"", u"types"});
    ADD_FAILURE() << "no failure";
  } catch (const XmlError& error) {
    EXPECT_STREQ(error.what(),
                 "http://host/x:1:20: Opening and ending tag mismatch: a line 1 and b");
  }
}

TEST(XmlBuild, WritesNamespacesOnceAndEscapesTexts) {
  XmlDocument document = XmlDocument::Create(u"urn:envelope", u"env", u"Envelope");
  XmlNode root = document.DocumentElement();
  EXPECT_EQ(root.DeclareNamespace(u"urn:types", u"t"), u"t");
  XmlNode operation = root.AppendElement(u"urn:envelope", u"Body").AppendElement(u"urn:s", u"Op");
  operation.AppendElement(u"urn:s", u"name").AppendText(u"a & b <c>\r\n\"\u00E8\"");
  XmlNode other = operation.AppendElement(u"urn:s2", u"other", u"ns");
  other.SetAttribute(u"urn:types", u"nil", u"true");
  operation.AppendElement(u"", u"plain").SetAttribute(u"", u"id", u"7");
  EXPECT_EQ(document.Bytes(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<env:Envelope xmlns:env=\"urn:envelope\" xmlns:t=\"urn:types\"><env:Body>"
            "<ns:Op xmlns:ns=\"urn:s\"><ns:name>a &amp; b &lt;c&gt;&#13;\n\"\xC3\xA8\"</ns:name>"
            "<ns1:other xmlns:ns1=\"urn:s2\" t:nil=\"true\"/><plain id=\"7\"/></ns:Op>"
            "</env:Body></env:Envelope>\n");
}

TEST(XmlBuild, BuiltDocumentReadsBackNamespaceAware) {
  XmlDocument built = XmlDocument::Create(u"urn:envelope", u"env", u"Envelope");
  XmlNode body = built.DocumentElement().AppendElement(u"urn:envelope", u"Body");
  body.AppendElement(u"urn:s", u"Result", u"s").SetAttribute(u"urn:i", u"type", u"s:Kind", u"i");
  const XmlDocument read = XmlDocument::Parse(built.Bytes(), u"built");
  const XmlNode result = read.DocumentElement().ChildElements().at(0).ChildElements().at(0);
  EXPECT_EQ(result.NamespaceUri(), u"urn:s");
  EXPECT_EQ(result.Attribute(u"urn:i", u"type"), std::optional<std::u16string>(u"s:Kind"));
  EXPECT_EQ(result.Attribute(u"urn:other", u"type"), std::nullopt);
  EXPECT_EQ(result.NamespaceOfPrefix(u"s"), std::optional<std::u16string>(u"urn:s"));
  EXPECT_EQ(result.NamespaceOfPrefix(u"q"), std::nullopt);
  const std::vector<XmlAttribute> attributes = result.Attributes();
  ASSERT_EQ(attributes.size(), 1u);
  EXPECT_EQ(attributes[0].qualified_name, u"i:type");
  EXPECT_EQ(attributes[0].namespace_uri, u"urn:i");
  EXPECT_EQ(attributes[0].local_name, u"type");
  EXPECT_EQ(attributes[0].value, u"s:Kind");
}

}  // namespace
}  // namespace vorlabws
