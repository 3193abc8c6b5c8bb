// The database layer against a real Firebird database: values read natively and shown as a
// Windows client shows them under the Italian format, integer reads, long texts as parameters,
// the record count and the first-column-wins rule of joined rows.
#include "db/firebird.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/text.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

class FirebirdTest : public ::testing::Test {
 protected:
  FirebirdTest() : database_(testing::Engine::kEmbedded, folder_.path() + "archivio.fdb") {
    connection_.DatabaseName = Utf8ToUtf16(database_.connection());
    connection_.Params = {u"user_name=SYSDBA", u"password=ambertide"};
  }
  void Select(const std::u16string& statement) {
    query_.Close();
    query_.SQL.Clear();
    query_.SQL.Add(statement);
    query_.Open();
  }

  testing::TempFolder folder_;
  testing::JobDatabase database_;
  IBDatabase connection_;
  IBTransaction transaction_{connection_};
  IBQuery query_{connection_, transaction_};
};

TEST_F(FirebirdTest, ValuesReadAsTheHostShowsThem) {
  database_.Execute(
      "CREATE TABLE KINDS (N NUMERIC(15,3), M NUMERIC(15,2), D DOUBLE PRECISION, F FLOAT, "
      "I INTEGER, S SMALLINT, B BIGINT, DT DATE, TS TIMESTAMP, TM TIME, C CHAR(5), "
      "V VARCHAR(20), BL BLOB SUB_TYPE TEXT, BO BOOLEAN, NU VARCHAR(5))");
  struct Row {
    const char* name;
    std::string value;  // as inserted
    const char* column;
    std::u16string shown;
  };
  const Row rows[] = {
      {"numeric without trailing zeros", "12.500", "N", u"12,5"},
      {"numeric whole", "100.000", "N", u"100"},
      {"numeric zero", "0", "N", u"0"},
      {"numeric negative fraction", "-0.25", "M", u"-0,25"},
      {"numeric small", "0.001", "N", u"0,001"},
      {"double", "1.5", "D", u"1,5"},
      {"double fifteen digits", "0.1", "D", u"0,1"},
      {"double large", "1e15", "D", u"1E15"},
      {"double tiny", "0.00004426150292190092", "D", u"4,42615029219009E-5"},
      {"double 16 digits", "1234567890123456", "D", u"1,23456789012346E15"},
      {"float", "2.5", "F", u"2,5"},
      {"integer", "-42", "I", u"-42"},
      {"smallint", "7", "S", u"7"},
      {"bigint", "9007199254740993", "B", u"9007199254740993"},
      {"date", "'2024-01-15'", "DT", u"15/01/2024"},
      {"timestamp", "'2024-01-15 10:20:30.1234'", "TS", u"15/01/2024 10:20:30"},
      {"time", "'08:05:09'", "TM", u"08:05:09"},
      {"char keeps its blanks", "'ab'", "C", u"ab   "},
      {"varchar", "'Forl\xC3\xAC'", "V", u"Forl\u00EC"},
      {"text blob", "'riga 1' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'riga 2'", "BL",
       u"riga 1\r\nriga 2"},
      {"boolean", "TRUE", "BO", u"True"},
      {"null", "NULL", "NU", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    database_.Execute("DELETE FROM KINDS");
    database_.Execute(std::string("INSERT INTO KINDS (") + row.column + ") VALUES (" + row.value +
                      ")");
    Select(u"SELECT * FROM KINDS");
    EXPECT_EQ(query_.FieldByName(Ascii(row.column)).AsString(), row.shown);
    transaction_.Rollback();
  }
}

TEST_F(FirebirdTest, IntegerReads) {
  database_.Execute(
      "CREATE TABLE KINDS (T VARCHAR(20), I INTEGER, N NUMERIC(15,3), D DOUBLE PRECISION)");
  struct Row {
    const char* name;
    std::string columns;
    std::string values;
    const char* column;
    bool integer;
    int32_t value;
  };
  const Row rows[] = {
      {"integer column", "I", "-12", "I", true, -12},
      {"digits", "T", "'0307'", "T", true, 307},
      {"leading blanks and sign", "T", "'  -5'", "T", true, -5},
      {"null reads zero", "T", "NULL", "T", true, 0},
      {"whole numeric", "N", "12.000", "N", true, 12},
      {"whole double", "D", "3", "D", true, 3},
      {"trailing blank", "T", "'5 '", "T", false, 0},
      {"empty text", "T", "''", "T", false, 0},
      {"decimal comma text", "T", "'1,5'", "T", false, 0},
      {"numeric fraction", "N", "12.5", "N", false, 0},
      {"double fraction", "D", "0.5", "D", false, 0},
      {"beyond 32 bits", "T", "'2147483648'", "T", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    database_.Execute("DELETE FROM KINDS");
    database_.Execute("INSERT INTO KINDS (" + row.columns + ") VALUES (" + row.values + ")");
    Select(u"SELECT * FROM KINDS");
    const FieldValue& field = query_.FieldByName(Ascii(row.column));
    if (row.integer) {
      EXPECT_EQ(field.AsInteger(), row.value);
    } else {
      EXPECT_THROW(field.AsInteger(), ConvertError);
    }
    transaction_.Rollback();
  }
}

TEST_F(FirebirdTest, JoinedRowFindsTheHeaderColumnFirst) {
  database_.Execute("ALTER TABLE VORLABR ADD TRASPORTATORE VARCHAR(10)");
  database_.Execute("INSERT INTO VORLABT (ID, TRASPORTATORE) VALUES (1, 'BRT')");
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA, TRASPORTATORE) VALUES (1, 1, 'DHL')");
  Select(u"SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=1");
  EXPECT_EQ(query_.FieldByName(u"TRASPORTATORE").AsString(), u"BRT");
  EXPECT_EQ(query_.FieldByName(u"trasportatore").AsString(), u"BRT");
}

TEST_F(FirebirdTest, RecordCountIsWhatWasFetched) {
  database_.Execute("INSERT INTO VORLABT (ID) VALUES (1)");
  for (int riga = 1; riga <= 3; ++riga) {
    database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (1, " + std::to_string(riga) +
                      ")");
  }
  Select(u"SELECT * FROM VORLABR WHERE TESTATA=1 ORDER BY RIGA");
  EXPECT_EQ(query_.RecordCount(), 1);
  EXPECT_FALSE(query_.Eof());
  std::u16string righe;
  for (; !query_.Eof(); query_.Next()) righe += query_.FieldByName(u"RIGA").AsString();
  EXPECT_EQ(righe, u"123");
  EXPECT_EQ(query_.RecordCount(), 3);

  Select(u"SELECT * FROM VORLABR WHERE TESTATA=2");
  EXPECT_EQ(query_.RecordCount(), 0);
  EXPECT_TRUE(query_.Eof());
}

TEST_F(FirebirdTest, BlobsOfEachRowReadWhenAskedForAndPastTheLastRow) {
  database_.Execute("INSERT INTO VORLABT (ID) VALUES (1)");
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA, REPORT_CUSTOM) VALUES (1, 1, '^XA1')");
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (1, 2)");
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA, REPORT_CUSTOM) VALUES (1, 3, '^XA3')");
  Select(u"SELECT * FROM VORLABR WHERE TESTATA=1 ORDER BY RIGA");
  std::u16string labels;
  for (; !query_.Eof(); query_.Next()) {
    // Asked for twice on the first row, not at all on the second: each row shows its own blob.
    if (query_.RecordCount() == 1) labels += query_.FieldByName(u"REPORT_CUSTOM").AsString();
    if (query_.RecordCount() != 2) labels += query_.FieldByName(u"report_custom").AsString() + u"|";
  }
  labels += query_.FieldByName(u"REPORT_CUSTOM").AsString();
  EXPECT_EQ(labels, u"^XA1^XA1|^XA3|^XA3");
}

TEST_F(FirebirdTest, LongTextsGoAsParametersAndStoreExactly) {
  database_.Execute("INSERT INTO VORLABT (ID) VALUES (1)");
  database_.Execute("INSERT INTO VORLABR (TESTATA, RIGA) VALUES (1, 1)");
  std::u16string label;
  while (label.size() < 200 * 1024) label += u"^FO10,20^FDL\u00B4AQUILA \u00E0\u20AC^FS\r\n";
  query_.SQL.Add(u"UPDATE VORLABR SET");
  query_.SQL.Add(u" REPORT_ETICHETTA=" + query_.SQL.Parameter(label) + u",");
  query_.SQL.Add(u" REPORT_CUSTOM=" + query_.SQL.Parameter(u"") + u"");
  query_.SQL.Add(u" WHERE TESTATA=1 AND RIGA=1");
  query_.ExecSQL();
  transaction_.CommitRetaining();
  transaction_.Rollback();
  EXPECT_EQ(database_.Value("SELECT REPORT_ETICHETTA FROM VORLABR", "REPORT_ETICHETTA"), label);
  EXPECT_EQ(database_.Count("SELECT * FROM VORLABR WHERE REPORT_CUSTOM = ''"), 1);
}

TEST_F(FirebirdTest, StatementTextShowsParametersAsLiterals) {
  SqlText sql;
  sql.Add(u"UPDATE VORLABR SET");
  sql.Add(u" REPORT_CUSTOM=" + sql.Parameter(u"^XA\r\n^XZ") + u"");
  sql.Add(u" WHERE TESTATA=1 AND RIGA=2");
  EXPECT_EQ(sql.Text(), u"UPDATE VORLABR SET\r\n REPORT_CUSTOM='^XA\r\n^XZ'\r\n WHERE TESTATA=1 AND RIGA=2");
  EXPECT_EQ(sql.ServerText(), u"UPDATE VORLABR SET\r\n REPORT_CUSTOM=?\r\n WHERE TESTATA=1 AND RIGA=2");
}

TEST_F(FirebirdTest, FailuresNameTheStatement) {
  struct Row {
    const char* name;
    std::u16string statement;
    std::string message;
  };
  const Row rows[] = {
      {"missing table", u"SELECT * FROM NOWHERE",
       "Dynamic SQL Error; SQL error code = -204; Table unknown; NOWHERE; At line 1, column 15 "
       "[SQL: SELECT * FROM NOWHERE]"},
      {"missing column", u"SELECT * FROM VORLABT",
       "Field 'NOWHERE' not found [SQL: SELECT * FROM VORLABT]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      Select(row.statement);
      query_.FieldByName(u"NOWHERE");
      FAIL() << "no failure";
    } catch (const DatabaseError& error) {
      EXPECT_EQ(error.what(), row.message);
    }
  }
}

}  // namespace
}  // namespace vorlabws
