// The request of a DHL label job filled from a real job record: every placeholder in its order,
// and the values the request composes (shipment id and check digit, weights, date, insurance).
#include <gtest/gtest.h>

#include "couriers/dhl/dhl_request.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

class RequestTest : public ::testing::Test {
 protected:
  std::u16string Fill(const std::u16string& request, const Columns& changes) {
    return FillRequest(request, jobs_.Add(changes)->query());
  }

  DhlJobRecords jobs_;
};

TEST_F(RequestTest, EveryPlaceholderInItsOrder) {
  const std::u16string request =
      u"1=@SHIPPER_ADDRESS1@|2=@ORG_COUNTRY_CODE@|3=@ORG_POSTCODE@|4=@ORG_CITY_NAME@|"
      u"5=@ORG_STREET_NO@|6=@ORG_STREET_NAME@|7=@RECEIVER_ADDRESS1@|8=@DEST_COUNTRY_CODE@|"
      u"9=@DEST_POSTCODE@|10=@DEST_CITY_NAME@|11=@DEST_STREET_NAME@|12=@DEST_STREET_NO@|"
      u"13=@DEST_PROVINCE@|14=@ADDR_RECV_CONTACT1@|15=@ADDR_RECV_CONTACT2@|"
      u"16=@ADDR_RECV_CONTACT3@|17=@FRT_ACCOUNT_NO@|18=@NETWORK_PRODUCT_CODE@|19=@PICKUP_DATE@|"
      u"20=@SHIPMENT_WEIGHT@|21=@TOTAL_NO_OF_PIECES@|22=@SHIPMENT_ID@|"
      u"23=@SHIPMENT_ID_CHECK_DIGIT@|24=@PIECE_CONTENT@|25=@SERVICE@|26=@PIECE_LP@|"
      u"27=@PIECE_LP_DATA_IDENTIFIER@|28=@PIECE_SEQ@|29=@PIECE_WEIGHT@|30=@PIECE_REFERENCE@|"
      u"31=@PIECE_LP_ARCH_LIST@|32=@REPORT@|again=@DEST_CITY_NAME@|unknown=@PIECE_DESCRIPTION@|"
      u"lower=@report@";
  const std::u16string filled =
      Fill(request, {
                        // A value holding a later placeholder gets it filled; an earlier one stays.
                        {"MITT_RAGSOC", "'Acme @DEST_CITY_NAME@'"},
                        {"DEST_INFO1", "'@ORG_POSTCODE@'"},
                        // Values go in as XML character data; the apostrophe is not turned into
                        // the accent the database statements use.
                        {"DEST_RAGSOC", "'L''Atelier & \"Co\" <Ltd>'"},
                        {"PESO_TOT", "'12,5'"},
                    });
  EXPECT_EQ(filled,
            u"1=Acme München|2=IT|3=20121|4=Milano|5=12|6=Via Roma|7=L&apos;Atelier &amp; &quot;Co&quot; &lt;Ltd&gt;|8=DE|"
            u"9=80802|10=München|11=Leopoldstraße|12=5|13=BY|14=@ORG_POSTCODE@|"
            u"15=+49 89 1234567|16=Magazzino B|17=123456789|18=P|19=2024-03-07|20=12.5|21=1|"
            u"22=123456789|23=0|24=Ricambi meccanici|"
            u"25=<Map><Entry Key=\"GLOBAL_SERVICE_CODE\" Value=\"II\"/></Map>|"
            u"26=JD0146000062810001|27=J|28=1|29=2.5|30=COLLO-1|31=JD0146000062810001|32=1|"
            u"again=München|unknown=@PIECE_DESCRIPTION@|lower=@report@");
}

TEST_F(RequestTest, ComposedValues) {
  struct Row {
    const char* name;
    Columns changes;
    std::u16string filled;
  };
  const std::u16string request =
      u"@SHIPMENT_ID@|@SHIPMENT_ID_CHECK_DIGIT@|@SHIPMENT_WEIGHT@|@PIECE_WEIGHT@|@PICKUP_DATE@|"
      u"@SERVICE@";
  const std::u16string insurance = u"<Map><Entry Key=\"GLOBAL_SERVICE_CODE\" Value=\"II\"/></Map>";
  const Row rows[] = {
      {"ten-character shipment number, insured",
       {{"PESO_TOT", "'12,5'"}},
       u"123456789|0|12.5|2.5|2024-03-07|" + insurance},
      {"short shipment number",
       {{"NUMERO_SPEDIZIONE", "'12345'"}},
       u"12345||2.5|2.5|2024-03-07|" + insurance},
      {"long shipment number: only the tenth character checks",
       {{"NUMERO_SPEDIZIONE", "'ABCDEFGHIJKL'"}},
       u"ABCDEFGHI|J|2.5|2.5|2024-03-07|" + insurance},
      {"every comma becomes a point, points stay",
       {{"PESO_TOT", "'1.250,75'"}, {"PESO", "1250.75"}},
       u"123456789|0|1.250.75|1250.75|2024-03-07|" + insurance},
      {"date parts unpadded",
       {{"ANNO", "2019"}, {"MESE", "'3'"}, {"GIORNO", "'7'"}},
       u"123456789|0|2.5|2.5|2019-3-7|" + insurance},
      {"no insurance, no weights",
       {{"ASSICURAZIONE_SPEDIZIONE", "NULL"}, {"PESO_TOT", "NULL"}, {"PESO", "NULL"}},
       u"123456789|0|||2024-03-07|"},
      {"empty insurance", {{"ASSICURAZIONE_SPEDIZIONE", "''"}}, u"123456789|0|2.5|2.5|2024-03-07|"},
      {"zero insurance still insures",
       {{"ASSICURAZIONE_SPEDIZIONE", "'0'"}},
       u"123456789|0|2.5|2.5|2024-03-07|" + insurance},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Fill(request, row.changes), row.filled);
  }
}

}  // namespace
}  // namespace vorlabws::testing
