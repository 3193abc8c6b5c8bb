#include "couriers/dhl/manifest_records.h"
#include "couriers/dhl/manifest_text.h"
#include "jobs/Funzioni.h"
#include "jobs/outcomes.h"
#include "jobs/sql_values.h"

namespace vorlabws {

void TFunzioniForm::DHL_PreparaManifest(std::u16string& Result) {
  Result = kSpedizioniNonTrovate;
  TextInPieces Manifest;
  TextInPieces CourierReport;
  AppendManifestHeaderRecord(Manifest.Tail());
  AppendCourierReportTitle(CourierReport.Tail());

  while (!IBQuery1.Eof()) {
    const std::u16string T =
        BareIdentifier(IBQuery1.FieldByName(u"TESTATASPEDIZIONE").AsString(), "TESTATASPEDIZIONE");
    LoadStatement(IBQuery2, u"SELECT * FROM VORLABT WHERE ID=" + T);
    IBQuery2.Open();
    if (IBQuery2.RecordCount() == 1) {
      AppendShipmentRecord(Manifest.Tail(), IBQuery2);
      AppendCourierReportLine(CourierReport.Tail(), IBQuery2);
    }
    // A shipment whose header is gone still hands its parcels over.
    LoadStatement(IBQuery2, u"SELECT * FROM VORLABR WHERE TESTATA=" + T + u" ORDER BY RIGA");
    for (IBQuery2.Open(); !IBQuery2.Eof(); IBQuery2.Next())
      AppendParcelRecord(Manifest.Tail(), IBQuery2);
    IBQuery1.Next();
  }

  // A day's manifest is far past the server's literal limit, so both texts go as statement
  // parameters; the statement still reads as the quoted texts. The markers are taken one after
  // the other, as their order in the line is the order of their values.
  const std::u16string ID = BareIdentifier(IBQuery1.FieldByName(u"ID").AsString(), "ID");
  ClearStatement(IBQuery2);
  const std::u16string manifest_value =
      IBQuery2.SQL.Parameter(SostituisciApici(std::move(Manifest).Whole()));
  const std::u16string report_value =
      IBQuery2.SQL.Parameter(SostituisciApici(std::move(CourierReport).Whole()));
  IBQuery2.SQL.Add(u"UPDATE MANIFESTT SET MANIFEST=" + manifest_value + u", COURIERREPORT=" +
                   report_value + u"  WHERE ID=" + ID);
  Result =
      ExecuteAndCommit(IBQuery2) ? std::u16string(kCompletato) : std::u16string(kErrorePopolamento);
}

}  // namespace vorlabws
