#include "couriers/dhl/dhl_request.h"

#include "couriers/dhl/dhl_job.h"
#include "jobs/template_text.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace vorlabws {
namespace {

// The insurance service, the only extra service a request carries.
constexpr std::u16string_view kInsuranceEntry =
    u"<Entry Key=\"GLOBAL_SERVICE_CODE\" Value=\"II\"/>";

// Any non-empty insurance text, a zero amount included, asks for the insurance service.
std::u16string ServiceList(const ColumnReader& job) {
  std::u16string ServiceList;
  if (!ColumnText(job, u"ASSICURAZIONE_SPEDIZIONE").empty()) ServiceList = kInsuranceEntry;
  if (!ServiceList.empty()) ServiceList = u"<Map>" + ServiceList + u"</Map>";
  return ServiceList;
}

}  // namespace

// The request is XML: a value holding "&" or "<" (a company such as "Rossi & Figli") would make it
// malformed and the shipment would be refused, so every value from the job goes in as escaped
// character data. The insurance fragment is XML of our own and goes in as it is.
std::vector<Placeholder> RequestPlaceholders(const ColumnReader& job) {
  const auto column = [&job](const char16_t* name) { return EscapeXmlText(ColumnText(job, name)); };
  const std::u16string NumSped = ColumnText(job, u"NUMERO_SPEDIZIONE");
  return {
      {u"@SHIPPER_ADDRESS1@", column(u"MITT_RAGSOC")},
      {u"@ORG_COUNTRY_CODE@", column(u"MITT_NAZIONE")},
      {u"@ORG_POSTCODE@", column(u"MITT_CAP")},
      {u"@ORG_CITY_NAME@", column(u"MITT_CITTA")},
      {u"@ORG_STREET_NO@", column(u"MITT_NRCIVICO")},
      {u"@ORG_STREET_NAME@", column(u"MITT_VIA")},
      {u"@RECEIVER_ADDRESS1@", column(u"DEST_RAGSOC")},
      {u"@DEST_COUNTRY_CODE@", column(u"DEST_NAZIONE")},
      {u"@DEST_POSTCODE@", column(u"DEST_CAP")},
      {u"@DEST_CITY_NAME@", column(u"DEST_CITTA")},
      {u"@DEST_STREET_NAME@", column(u"DEST_VIA")},
      {u"@DEST_STREET_NO@", column(u"DEST_NRCIVICO")},
      {u"@DEST_PROVINCE@", column(u"DEST_PROVINCIA")},
      {u"@ADDR_RECV_CONTACT1@", column(u"DEST_INFO1")},
      {u"@ADDR_RECV_CONTACT2@", column(u"DEST_INFO2")},
      {u"@ADDR_RECV_CONTACT3@", column(u"DEST_INFO3")},
      {u"@FRT_ACCOUNT_NO@", column(u"MITT_FATTURAZIONE")},
      {u"@NETWORK_PRODUCT_CODE@", column(u"NETWORK")},
      {u"@PICKUP_DATE@", column(u"ANNO") + u"-" + column(u"MESE") + u"-" + column(u"GIORNO")},
      {u"@SHIPMENT_WEIGHT@", WithDecimalPoint(column(u"PESO_TOT"))},
      {u"@TOTAL_NO_OF_PIECES@", column(u"TOTALE_SEGNA_COLLI")},
      {u"@SHIPMENT_ID@", EscapeXmlText(NumSped.substr(0, 9))},
      {u"@SHIPMENT_ID_CHECK_DIGIT@",
       EscapeXmlText(NumSped.size() > 9 ? NumSped.substr(9, 1) : u"")},
      {u"@PIECE_CONTENT@", column(u"DESCRIZIONE_SPEDIZIONE")},
      {u"@SERVICE@", ServiceList(job)},
      {u"@PIECE_LP@", column(u"NUMERO_SEGNA_COLLO")},
      {u"@PIECE_LP_DATA_IDENTIFIER@", column(u"NUMERO_SEGNA_COLLO_CHECK")},
      {u"@PIECE_SEQ@", column(u"NUMERO_SEGNA_COLLO_DI")},
      {u"@PIECE_WEIGHT@", WithDecimalPoint(column(u"PESO"))},
      {u"@PIECE_REFERENCE@", column(u"CODICE_COLLO")},
      {u"@PIECE_LP_ARCH_LIST@", column(u"NUMERO_SEGNA_COLLO")},
      {u"@REPORT@", column(u"TIPO_ETICHETTA")},
  };
}

std::u16string FillRequest(std::u16string Request, const ColumnReader& job) {
  return FillPlaceholders(std::move(Request), RequestPlaceholders(job));
}

}  // namespace vorlabws
