#include "couriers/dhl/dhl_label.h"

#include <algorithm>
#include <array>

#include "couriers/dhl/dhl_job.h"
#include "jobs/sql_values.h"
#include "jobs/template_text.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

// Network products that travel by air.
constexpr std::array<std::u16string_view, 10> kAirProductCodes = {u"U", u"3", u"0", u"1", u"K",
                                                                  u"T", u"P", u"E", u"Y", u"D"};

// Characters `start` + 1 to `start` + `count` (counted from 1); as much of them as exists.
std::u16string Part(const std::u16string& text, size_t start, size_t count = std::u16string::npos) {
  return start < text.size() ? text.substr(start, count) : u"";
}

// Only a to z are raised; accented letters stay as they are.
std::u16string Capitals(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// After every fourth character one blank, the last group included when it is whole.
std::u16string GroupsOfFour(const std::u16string& text) {
  std::u16string Appoggio;
  for (size_t p = 1; p <= text.size(); ++p) {
    Appoggio += text[p - 1];
    if (p % 4 == 0) Appoggio += u' ';
  }
  return Appoggio;
}

std::u16string TipoSpedizione(const std::u16string& network) {
  const bool air = std::find(kAirProductCodes.begin(), kAirProductCodes.end(), network) !=
                   kAirProductCodes.end();
  return air ? u"AIR WAYBILL" : u"WAYBILL";
}

}  // namespace

std::vector<Placeholder> LabelPlaceholders(const ColumnReader& job) {
  const auto column = [&job](const char16_t* name) { return ColumnText(job, name); };
  const std::u16string NSC = column(u"NUMERO_SEGNA_COLLO");
  const std::u16string routing = column(u"PO_SEGNACOLLO") + column(u"PO_SEGNACOLLO_DESCR");
  return {
      {u"@PRODOTTO@", column(u"PRODOTTO")},
      {u"@CODICE_PRODOTTO@", column(u"CODICE_PRODOTTO")},
      {u"@DEST_RAGSOC@", column(u"DEST_RAGSOC")},
      {u"@DEST_VIA@", column(u"DEST_VIA")},
      {u"@DEST_NRCIVICO@", column(u"DEST_NRCIVICO")},
      {u"@DEST_CAP@", column(u"DEST_CAP")},
      {u"@DEST_CITTA@", Capitals(column(u"DEST_CITTA"))},
      {u"@MITT_RAGSOC@", column(u"MITT_RAGSOC")},
      {u"@MITT_VIA@", column(u"MITT_VIA")},
      {u"@MITT_NRCIVICO@", column(u"MITT_NRCIVICO")},
      {u"@MITT_CAP@", column(u"MITT_CAP")},
      {u"@MITT_CITTA@", column(u"MITT_CITTA")},
      {u"@MITT_NAZIONE_DESCR@", column(u"MITT_NAZIONE_DESCR")},
      {u"@MITT_TELEFONO@", column(u"MITT_TELEFONO")},
      {u"@MITT_FATTURAZIONE@", column(u"MITT_FATTURAZIONE")},
      {u"@MITT_OPERATORE@", column(u"MITT_OPERATORE")},
      {u"@DEST_INFO1@", column(u"DEST_INFO1")},
      {u"@DEST_INFO2@", column(u"DEST_INFO2")},
      {u"@DEST_INFO3@", column(u"DEST_INFO3")},
      {u"@MITT_FILIALE@", column(u"MITT_FILIALE")},
      {u"@DEST_NAZIONE_DESCR@", Capitals(column(u"DEST_NAZIONE_DESCR"))},
      {u"@DEST_NAZIONE@", column(u"DEST_NAZIONE")},
      {u"@DEST_FILIALE@", column(u"DEST_FILIALE")},
      {u"@ZONA_SEGNACOLLO@", column(u"ZONA_SEGNACOLLO")},
      {u"@NUMERO_SPEDIZIONE@", column(u"NUMERO_SPEDIZIONE")},
      {u"@DESCRIZIONE_SPEDIZIONE@", column(u"DESCRIZIONE_SPEDIZIONE")},
      {u"@RESA@", column(u"RESA")},
      {u"@ASSICURAZIONE_SPEDIZIONE@", WithDecimalPoint(column(u"ASSICURAZIONE_SPEDIZIONE"))},
      {u"@PESO_TOT@", column(u"PESO_TOT")},
      {u"@VALORE_SPEDIZIONE@", WithDecimalPoint(column(u"VALORE_SPEDIZIONE"))},
      {u"@NUMERO_SEGNA_COLLO_DI@", column(u"NUMERO_SEGNA_COLLO_DI")},
      {u"@TOTALE_SEGNA_COLLI@", column(u"TOTALE_SEGNA_COLLI")},
      {u"@ANNO@", column(u"ANNO")},
      {u"@MESE@", column(u"MESE")},
      {u"@GIORNO@", column(u"GIORNO")},
      {u"@PIECES_LP_1@", column(u"NUMERO_SEGNA_COLLO_CHECK") + Part(NSC, 0, 2)},
      {u"@PIECES_LP_2@", Part(NSC, 2)},
      {u"@PO_SEGNACOLLO_1@", Part(routing, 0, 4)},
      {u"@PO_SEGNACOLLO_2@", Part(routing, 4, 4)},
      {u"@PO_SEGNACOLLO_3@", Part(routing, 8, 2)},
      {u"@PO_SEGNACOLLO_4@", Part(routing, 10)},
      {u"@MITT_SPEDIZIONE@", column(u"MITT_SPEDIZIONE")},
      {u"@NUMERO_SEGNA_COLLO_CHECK@", column(u"NUMERO_SEGNA_COLLO_CHECK")},
      {u"@NUMERO_SEGNA_COLLO@", GroupsOfFour(NSC)},
      {u"@PO_SEGNACOLLO@", column(u"PO_SEGNACOLLO")},
      {u"@PO_SEGNACOLLO_DESCR@", ReplaceAll(column(u"PO_SEGNACOLLO_DESCR"), u"+", u" + ")},
      {u"@CODICE_CARTONE@", column(u"CODICECARTONE")},
      {u"@TIPO_SPEDIZIONE@", TipoSpedizione(column(u"NETWORK"))},
  };
}

std::u16string FillLabel(std::u16string Report_Custom, const ColumnReader& job) {
  return FillPlaceholders(std::move(Report_Custom), LabelPlaceholders(job));
}

void LoadRowUpdate(IBQuery& query, const DhlLabels& labels, const std::u16string& Testata,
                   const std::u16string& Riga) {
  SqlText& SQL = NewStatement(query);
  SQL.Add(u"UPDATE VORLABR SET");
  SQL.Add(u" REPORT_ETICHETTA=" + SQL.Parameter(SostituisciApici(labels.Report_Etichetta)) + u",");
  SQL.Add(u" REPORT_ARCHIVIO=" + SQL.Parameter(SostituisciApici(labels.Report_Archivio)) + u",");
  SQL.Add(u" REPORT_CUSTOM=" + SQL.Parameter(SostituisciApici(labels.Report_Custom)));
  SQL.Add(u" WHERE TESTATA=" + Testata + u" AND RIGA=" + Riga);
}

}  // namespace vorlabws
