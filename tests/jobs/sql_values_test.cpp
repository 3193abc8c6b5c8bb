// Values in statements: texts quoted with the apostrophe turned into the acute accent, identifiers
// accepted only as decimal integers; a quoted text stores exactly in a real database.
#include "jobs/sql_values.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

TEST(SqlValuesTest, QuotedTextReplacesApostrophesOnly) {
  EXPECT_EQ(QuotedText(u"003 - Errore durante l'aggiornamento della testata"),
            u"'003 - Errore durante l\u00B4aggiornamento della testata'");
  EXPECT_EQ(QuotedText(u"''\"\\ \u00B4"), u"'\u00B4\u00B4\"\\ \u00B4'");
  EXPECT_EQ(QuotedText(u""), u"''");
}

TEST(SqlValuesTest, BareIdentifierAcceptsDecimalIntegersOnly) {
  struct Row {
    const char* name;
    std::u16string identifier;
    bool accepted;
  };
  const Row rows[] = {
      {"digits", u"15", true},       {"leading zeros", u"0015", true},
      {"plus sign", u"+15", true},   {"minus sign", u"-15", true},
      {"empty", u"", false},         {"sign alone", u"-", false},
      {"blank before", u" 15", false}, {"blank after", u"15 ", false},
      {"fraction", u"1.5", false},   {"statement", u"1 OR 1=1", false},
      {"quote", u"1'", false},       {"path", u"../1", false},
      {"arabic-indic digit", u"\u0661", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.accepted) {
      EXPECT_EQ(BareIdentifier(row.identifier, "testata"), row.identifier);
    } else {
      EXPECT_THROW(BareIdentifier(row.identifier, "testata"), IdentifierError);
    }
  }
}

TEST(SqlValuesTest, BareIdentifierMessageNamesTheValue) {
  try {
    BareIdentifier(u"1;", "riga");
    FAIL() << "accepted";
  } catch (const IdentifierError& error) {
    EXPECT_STREQ(error.what(), "riga '1;' is not a decimal integer");
  }
}

TEST(SqlValuesTest, QuotedTextStoresAsWritten) {
  testing::TempFolder folder;
  testing::JobDatabase database(testing::Engine::kEmbedded, folder.path() + "archivio.fdb");
  database.Execute("INSERT INTO VORLABT (ID) VALUES (1)");
  database.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (1, 1)");
  // Every Windows-1252 letter an Italian address may carry, and the apostrophe.
  const std::u16string outcome = u"003 - L'AQUILA \u00E0\u00E8\u00E9\u00EC\u00F2\u00F9 \u20AC";
  database.Execute("UPDATE VORLABR SET ESITO=" + Utf16ToUtf8(QuotedText(outcome)) +
                   " WHERE TESTATA=1 AND RIGA=1");
  EXPECT_EQ(database.Value("SELECT ESITO FROM VORLABR", "ESITO"),
            u"003 - L\u00B4AQUILA \u00E0\u00E8\u00E9\u00EC\u00F2\u00F9 \u20AC");
}

}  // namespace
}  // namespace vorlabws
