#include "couriers/dhl/dhl_header_update.h"

#include "couriers/dhl/dhl_job.h"
#include "jobs/sql_values.h"

namespace vorlabws {

void LoadHeaderUpdate(IBQuery& query, const DhlRouting& routing, const std::u16string& Testata) {
  SqlText& SQL = NewStatement(query);
  SQL.Add(u"UPDATE VORLABT SET");
  SQL.Add(u" MITT_FILIALE=" + QuotedText(routing.Mitt_Filiale) + u",");
  SQL.Add(u" MITT_NAZIONE_DESCR=" + QuotedText(routing.Mitt_Nazione) + u",");
  SQL.Add(u" DEST_FILIALE=" + QuotedText(routing.Dest_Filiale) + u",");
  SQL.Add(u" ZONA_SEGNACOLLO=" + QuotedText(routing.Zona_Segnacollo) + u",");
  SQL.Add(u" CODICE_PRODOTTO=" + QuotedText(routing.CODICE_PRODOTTO) + u",");
  SQL.Add(u" PRODOTTO=" + QuotedText(routing.Prodotto) + u",");
  SQL.Add(u" SFONDO_PRODOTTO=" + QuotedText(routing.SFONDO_PRODOTTO) + u",");
  SQL.Add(u" DEST_NAZIONE_DESCR=" + QuotedText(routing.Dest_Nazione) + u",");
  SQL.Add(u" PO_SEGNACOLLO=" + QuotedText(routing.PO_SEGNACOLLO) + u",");
  SQL.Add(u" PO_SEGNACOLLO_DESCR=" + QuotedText(routing.PO_SEGNACOLLO_DESCR));
  SQL.Add(u" WHERE ID=" + Testata);
}

}  // namespace vorlabws
