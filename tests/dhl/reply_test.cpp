// The DHL reply read from real documents on disk through libxml2: messages and the outcome they
// set, the routing values, the print documents, and the replies the job cannot use.
#include <gtest/gtest.h>

#include "couriers/dhl/dhl_reply.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

// Base64 of Windows-1252 printer texts.
constexpr char kLabel[] = "XlhBDQpeRkRN/G5jaGVuLCBMJ0FxdWlsYV5GUw0KXlhaDQo=";
const std::u16string kLabelText = u"^XA\r\n^FDMünchen, L'Aquila^FS\r\n^XZ\r\n";
constexpr char kArchive[] = "XlhBDQpeRkRBUkNISVZJT15GUw0KXlhaDQo=";
const std::u16string kArchiveText = u"^XA\r\n^FDARCHIVIO^FS\r\n^XZ\r\n";
constexpr char kThird[] = "XlhBXkZEdGVyem9eRlNeWFo=";

const std::string kData =
    "<Data>"
    "<Entry Name=\"PRODUCT_NAME\" Value=\"EXPRESS WORLDWIDE\"/>"
    "<Entry Name=\"ORG_COUNTRY_NAME\" Value=\"ITALY\"/>"
    "<Entry Name=\"ORG_SRVA_CODE\" Value=\"MIL\"/>"
    "<Entry Name=\"DEST_SRVA_CODE\" Value=\"MUC\"/>"
    "<Entry Name=\"DEST_FAC_CODE\" Value=\"MUC-80\"/>"
    "<Entry Name=\"CONTENT_CODE\" Value=\"WPX\"/>"
    "<Entry Name=\"CONTENT_VIDEO\" Value=\"Y\"/>"
    "<Entry Name=\"DEST_COUNTRY_NAME\" Value=\"GERMANY\"/>"
    "<Entry Name=\"ROUTING_CODE_DATA_INDENTIFIER\" Value=\"2L\"/>"
    "<Entry Name=\"ROUTING_CODE_TEXT\" Value=\"DE80802+48000000\"/>"
    "</Data>";
// The routing values of kData, in the order of Fields below.
const std::vector<std::u16string> kRouting = {
    u"EXPRESS WORLDWIDE", u"ITALY", u"MIL", u"MUC", u"MUC-80", u"WPX", u"Y", u"GERMANY", u"2L",
    u"DE80802+48000000"};

std::string PrintDocument(const char* base64) {
  return std::string("<PrintDocument PrintCommand=\"") + base64 + "\"/>";
}

// The whole reply as a list: outcome (or "none"), ten routing values, label, archive copy.
std::vector<std::u16string> Fields(const DhlReply& reply) {
  const DhlRouting& r = reply.routing;
  return {reply.error_outcome.value_or(u"none"),
          r.Prodotto,
          r.Mitt_Nazione,
          r.Mitt_Filiale,
          r.Dest_Filiale,
          r.Zona_Segnacollo,
          r.CODICE_PRODOTTO,
          r.SFONDO_PRODOTTO,
          r.Dest_Nazione,
          r.PO_SEGNACOLLO,
          r.PO_SEGNACOLLO_DESCR,
          reply.Report_Etichetta,
          reply.Report_Archivio};
}

std::vector<std::u16string> Expected(const std::u16string& outcome,
                                     const std::vector<std::u16string>& routing,
                                     const std::u16string& label, const std::u16string& archive) {
  std::vector<std::u16string> fields{outcome};
  fields.insert(fields.end(), routing.begin(), routing.end());
  fields.push_back(label);
  fields.push_back(archive);
  return fields;
}

const std::vector<std::u16string> kNoRouting(10);

class ReplyTest : public ::testing::Test {
 protected:
  // Writes the document to the reply file and reads it as the job does.
  DhlReply Read(const std::string& document) {
    WriteFileBytes(path_, document);
    return ReadReply(XmlDocument::Load(path_), path_);
  }
  std::string FailureOf(const std::string& document) {
    try {
      Read(document);
    } catch (const Failure& failure) {
      return failure.what();
    }
    return "no failure";
  }

  TempFolder folder_;
  const std::u16string path_ = Utf8ToUtf16(folder_.path() + "dhl_15_2.txt");
};

TEST_F(ReplyTest, Replies) {
  struct Row {
    const char* name;
    std::string entries;
    std::vector<std::u16string> fields;
  };
  const Row rows[] = {
      {"routing values and two print documents",
       kData + PrintDocument(kLabel) + PrintDocument(kArchive),
       Expected(u"none", kRouting, kLabelText, kArchiveText)},
      {"a third print document is ignored",
       PrintDocument(kLabel) + kData + PrintDocument(kArchive) + PrintDocument(kThird) +
           "<PrintDocument/>",
       Expected(u"none", kRouting, kLabelText, kArchiveText)},
      {"one print document leaves the archive copy empty", kData + PrintDocument(kLabel),
       Expected(u"none", kRouting, kLabelText, u"")},
      {"the later error message decides",
       "<Message Category=\"Error\" Description=\"ignored\"/>" + kData +
           "<Message Category=\"Validation Error\" Description=\"Il CAP 0000 non è valido\"/>" +
           PrintDocument(kLabel),
       Expected(u"003 - Il CAP 0000 non è valido", kRouting, kLabelText, u"")},
      {"an error after a validation error",
       "<Message Category=\"Validation Error\" Description=\"CAP\"/><Message Category=\"Error\"/>",
       Expected(u"003 - Errore nei dati della spedizione", kNoRouting, u"", u"")},
      {"warnings and messages without category are ignored",
       "<Message Category=\"Warning\" Description=\"Address corrected\"/><Message/>"
       "<Message Category=\"error\"/>" +
           kData,
       Expected(u"none", kRouting, u"", u"")},
      {"names are compared whole, prefix included, and case-sensitively",
       "<res:Message Category=\"Error\"/><message Category=\"Error\"/>"
       "<res:Data><Entry Name=\"PRODUCT_NAME\" Value=\"X\"/></res:Data>"
       "<printdocument PrintCommand=\"" +
           std::string(kLabel) + "\"/>",
       Expected(u"none", kNoRouting, u"", u"")},
      {"data entries: later wins, the entry's own name and unknown names do not matter",
       "<Data><Entry Name=\"PRODUCT_NAME\" Value=\"FIRST\"/>"
       "<Entry Name=\"ROUTING_CODE_DATA_IDENTIFIER\" Value=\"2L\"/>"
       "<Entry Value=\"no name\"/><Entry Name=\"OTHER\"/><Entry Name=\"product_name\" Value=\"x\"/>"
       "</Data><Data><Item Name=\"PRODUCT_NAME\" Value=\"L'EXPRESS\"/>"
       "<Entry Name=\"DEST_COUNTRY_NAME\" Value=\"\"/></Data>",
       Expected(u"none", {u"L'EXPRESS", u"", u"", u"", u"", u"", u"", u"", u"", u""}, u"", u"")},
      {"an empty response element", "", Expected(u"none", kNoRouting, u"", u"")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Fields(Read(ReplyDocument(row.entries))), row.fields);
  }
}

TEST_F(ReplyTest, RepliesTheJobCannotUse) {
  const std::string path = Utf16ToUtf8(path_);
  struct Row {
    const char* name;
    std::string document;
    std::string failure;
  };
  const Row rows[] = {
      {"a routing value without Value",
       ReplyDocument("<Data><Entry Name=\"DEST_SRVA_CODE\"/></Data>"),
       "Data entry DEST_SRVA_CODE of " + path + " has no Value attribute"},
      {"a validation error without Description",
       ReplyDocument("<Message Category=\"Validation Error\"/>"),
       "Validation Error message of " + path + " has no Description attribute"},
      {"a print document without PrintCommand",
       ReplyDocument(PrintDocument(kLabel) + "<PrintDocument/>"),
       "PrintDocument 2 of " + path + " has no PrintCommand attribute"},
      {"a print document that is not base64", ReplyDocument(PrintDocument("^XA^XZ")),
       "Invalid Base64 text: character outside the alphabet"},
      {"a document element without children", "<Envelope/>",
       "Node Envelope has no child node 0 (it has 0)"},
      {"a first child without children", "<Envelope><Body/></Envelope>",
       "Node Body has no child node 0 (it has 0)"},
      {"a value taken from a file",
       "<!DOCTYPE Envelope [<!ENTITY file SYSTEM \"file:///etc/hostname\">]>\n"
       "<Envelope><Body><Response><Data>"
       "<Entry Name=\"PRODUCT_NAME\" Value=\"&file;\"/></Data></Response></Body></Envelope>",
       path + ":2:73: Attribute references external entity 'file'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FailureOf(row.document), row.failure);
  }
}

}  // namespace
}  // namespace vorlabws::testing
