#include "couriers/dhl/manifest_records.h"

#include <algorithm>
#include <iterator>

#include "jobs/stampe.h"

namespace vorlabws {
namespace {

const std::u16string kCrLf = u"\r\n";

std::u16string Column(const ColumnReader& row, const char16_t* name) { return row.Text(name); }

// Weights, volumes and values lose their "." (the courier reads the decimals by position).
std::u16string WithoutDots(std::u16string text) {
  text.erase(std::remove(text.begin(), text.end(), u'.'), text.end());
  return text;
}

std::u16string Blanks(int32_t width) { return RiempiDes(u"", width); }

}  // namespace

void AppendManifestHeaderRecord(std::u16string& Manifest) {
  Manifest += u"FF0HDRFFTIN00300";
  Manifest += RiempiDes(u"CARGOMERIDIAN", 35);
  Manifest += RiempiDes(u"DHLEUAPGW", 35);
  Manifest += kCrLf;
}

void AppendShipmentRecord(std::u16string& Manifest, const ColumnReader& shipment) {
  const auto value = [&shipment](const char16_t* name) { return Column(shipment, name); };
  Manifest += u"FF";
  Manifest += u"0";
  Manifest += u"SHP";
  Manifest += u"2";
  Manifest += RiempiSinZero(value(u"MITT_FATTURAZIONE"), 14);
  Manifest += RiempiSinZero(value(u"NUMERO_SPEDIZIONE"), 10);
  Manifest += RiempiDes(value(u"DEST_FILIALE"), 3);
  Manifest += RiempiDes(value(u"MITT_SPEDIZIONE"), 35);
  Manifest += RiempiDes(value(u"MITT_RAGSOC"), 35);
  Manifest += RiempiDes(value(u"MITT_OPERATORE"), 35);
  Manifest += Blanks(35);
  Manifest += RiempiDes(value(u"MITT_VIA"), 35);
  Manifest += RiempiDes(value(u"MITT_NRCIVICO"), 7);
  Manifest += Blanks(28);
  Manifest += RiempiDes(value(u"MITT_CITTA"), 20);
  Manifest += RiempiDes(value(u"MITT_PROVINCIA"), 45);
  Manifest += RiempiDes(value(u"MITT_CAP"), 12);
  Manifest += RiempiDes(value(u"MITT_TELEFONO"), 20);
  Manifest += Blanks(20);
  Manifest += RiempiDes(value(u"MITT_NAZIONE"), 3);
  Manifest += u"A";
  Manifest += Blanks(14);
  Manifest += RiempiDes(value(u"DEST_RAGSOC"), 35);
  Manifest += Blanks(35);
  Manifest += Blanks(35);
  Manifest += RiempiDes(value(u"DEST_VIA"), 35);
  Manifest += RiempiDes(value(u"DEST_NRCIVICO"), 7);
  Manifest += Blanks(28);
  Manifest += RiempiDes(value(u"DEST_CITTA"), 20);
  Manifest += RiempiDes(value(u"DEST_PROVINCIA"), 45);
  Manifest += RiempiDes(value(u"DEST_CAP"), 12);
  Manifest += Blanks(20);
  Manifest += Blanks(20);
  Manifest += RiempiDes(value(u"DEST_NAZIONE"), 3);
  Manifest += u"A";
  Manifest += RiempiDes(value(u"CODICE_PRODOTTO"), 3);
  Manifest += RiempiDes(value(u"TOTALE_SEGNA_COLLI"), 4);
  Manifest += RiempiSinZero(WithoutDots(value(u"PESO_TOT")), 10);
  Manifest += u"KGM";
  Manifest += u"3";
  Manifest += RiempiSinZero(WithoutDots(value(u"VOLUME_TOT")), 10);
  Manifest += u"MTQ";
  Manifest += u"3";
  Manifest += RiempiSinZero(WithoutDots(value(u"VALORE_SPEDIZIONE")), 10);
  Manifest += u"EUR";
  Manifest += u"2";
  Manifest += RiempiDes(value(u"DESCRIZIONE_SPEDIZIONE"), 30);
  Manifest += Blanks(1);
  Manifest += RiempiDes(value(u"RESA"), 3);
  Manifest += RiempiDes(u"P", 35);
  Manifest += Blanks(35);
  Manifest += value(u"ANNO");
  Manifest += value(u"MESE");
  Manifest += value(u"GIORNO");
  Manifest += Blanks(10);
  Manifest += RiempiDes(value(u"ZONA_SEGNACOLLO"), 3);
  Manifest += kCrLf;
}

void AppendParcelRecord(std::u16string& Manifest, const ColumnReader& parcel) {
  const auto value = [&parcel](const char16_t* name) { return Column(parcel, name); };
  Manifest += u"FF";
  Manifest += u"0";
  Manifest += u"PCE";
  Manifest += RiempiDes(value(u"CODICECARTONE"), 35);
  Manifest += Blanks(4);
  Manifest += Blanks(4);
  Manifest += Blanks(4);
  Manifest += Blanks(3);
  Manifest += RiempiSin(WithoutDots(value(u"PESO")), 35);
  Manifest += u"KGM";
  Manifest += u"3";
  Manifest += RiempiSin(WithoutDots(value(u"VOLUME")), 35);
  Manifest += u"MTQ";
  Manifest += u"3";
  Manifest += RiempiDes(value(u"NUMERO_SEGNA_COLLO"), 35);
  Manifest += Blanks(2);
  Manifest += RiempiDes(value(u"DESCRIZIONE_COLLO"), 35);
  Manifest += kCrLf;
}

void AppendCourierReportTitle(std::u16string& CourierReport) {
  CourierReport +=
      u"NUMERO AWB|CODICE MITTENTE|PESO LORDO|PESO VOL.|DST|TIPO SPED|SHIPPER REFERENCE|"
      u"NUMERO COLLI|RAGIONE SOCIALE DEL DESTINATARIO|DESTINATARIO INDIRIZZO 1|"
      u"DESTINATARIO CITTA'|CAP DESINAT|VALORE ASSICURATO|TIPO IMPORTO EXTRA|IMPORTO";
  CourierReport += kCrLf;
}

void AppendCourierReportLine(std::u16string& CourierReport, const ColumnReader& shipment) {
  const auto value = [&shipment](const char16_t* name) { return Column(shipment, name); };
  const std::u16string fields[] = {
      value(u"NUMERO_SPEDIZIONE"),
      value(u"MITT_FATTURAZIONE"),
      value(u"PESO_TOT"),
      value(u"VOLUME_TOT"),
      value(u"DEST_FILIALE"),
      value(u"CODICE_PRODOTTO"),
      value(u"MITT_SPEDIZIONE"),
      value(u"TOTALE_SEGNA_COLLI"),
      value(u"DEST_RAGSOC"),
      value(u"DEST_VIA") + u" " + value(u"DEST_NRCIVICO"),
      value(u"DEST_CITTA"),
      value(u"DEST_CAP"),
      value(u"VALORE_SPEDIZIONE"),
      u"",  // TIPO IMPORTO EXTRA
      u"",  // IMPORTO
  };
  for (size_t i = 0; i < std::size(fields); ++i) {
    if (i > 0) CourierReport += u'|';
    CourierReport += fields[i];
  }
  CourierReport += kCrLf;
}

}  // namespace vorlabws
