#include "couriers/brt/brt_job_updates.h"

#include "jobs/sql_values.h"
#include "platform/text.h"

namespace vorlabws {

namespace {

SqlText& NewStatementText(IBQuery& query) {
  query.Close();
  query.SQL.Clear();
  return query.SQL;
}

}  // namespace

void LoadBrtHeaderUpdate(IBQuery& query, const DestinationAddressOut2& Response,
                         const std::u16string& Testata) {
  SqlText& sql = NewStatementText(query);
  sql.Add(u"UPDATE VORLABT SET");
  sql.Add(u" ZONA_SEGNACOLLO='" + IntToText(Response.ZonaSegnaCollo()) + u"',");
  sql.Add(u" PO_ARRIVO='" + IntToText(Response.POArrivo()) + u"',");
  sql.Add(u" PO_ARRIVO_DESCRIZIONE=" + QuotedText(Response.POArrivoDes()) + u",");
  sql.Add(u" PO_PARTENZA_DESCRIZIONE=" + QuotedText(Response.POPartenzaDes()) + u",");
  sql.Add(u" TERMINAL_ARRIVO='" + IntToText(Response.TerminalArrivo()) + u"'");
  sql.Add(u" WHERE ID=" + Testata);
}

void LoadBrtRowUpdate(IBQuery& query, const std::u16string& report,
                      const std::u16string& Report_Custom, const std::u16string& Testata,
                      const std::u16string& Riga) {
  SqlText& sql = NewStatementText(query);
  sql.Add(u"UPDATE VORLABR SET");
  sql.Add(u" REPORT_ETICHETTA=" + sql.Parameter(SostituisciApici(report)) + u",");
  sql.Add(u" REPORT_CUSTOM=" + sql.Parameter(SostituisciApici(Report_Custom)));
  sql.Add(u" WHERE TESTATA=" + Testata + u" AND RIGA=" + Riga);
}

}  // namespace vorlabws
