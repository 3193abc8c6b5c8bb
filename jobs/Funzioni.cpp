#include "jobs/Funzioni.h"

#include "db/BrenvoDB.h"
#include "jobs/job_update.h"
#include "jobs/outcomes.h"
#include "jobs/sql_values.h"
#include "platform/code_page.h"
#include "platform/user_interface.h"

namespace vorlabws {

void ClearStatement(IBQuery& query) {
  query.Close();
  query.SQL.Clear();
}

void LoadStatement(IBQuery& query, const std::u16string& line) {
  ClearStatement(query);
  query.SQL.Add(line);
}

DatabasePath SplitDatabasePath(const std::u16string& Database) {
  const size_t last = Database.find_last_of(u"\\:/");
  if (last == std::u16string::npos) return {u"", Database};
  return {Database.substr(0, last + 1), Database.substr(last + 1)};
}

TFunzioniForm::TFunzioniForm(const std::u16string& Database) {
  const DatabasePath path = SplitDatabasePath(Database);
  if (!AttivaDataBaseOpzioneDatiIni(IBDatabase1, path.Percorso, path.Nome, u"", u"", this)) {
    ShowErrorBox(u"Errore apertura archivio");
  }
}

std::u16string TFunzioniForm::PopolaEtichetta(bool CalcolaInstradamento) {
  std::u16string outcome(kTestataRigaNonTrovata);
  LoadStatement(IBQuery1,
                u"SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=" +
                    BareIdentifier(Testata, "testata") + u" AND R.RIGA=" +
                    BareIdentifier(Riga, "riga"));
  IBQuery1.Open();
  if (IBQuery1.RecordCount() == 1 && CalcolaInstradamento) {
    outcome = kTrasportatoreNonValido;
    const std::u16string courier = IBQuery1.FieldByName(u"TRASPORTATORE").AsString();
    if (courier == u"BRT") {
      BRT_CalcolaInstradamento(outcome);
    } else if (courier == u"DHL") {
      DHL_CalcolaInstradamento(outcome);
    }
    StoreOutcome(u"UPDATE VORLABR SET ESITO=" + QuotedText(outcome) + u" WHERE TESTATA=" + Testata +
                 u" AND RIGA=" + Riga);
  }
  return outcome;
}

std::u16string TFunzioniForm::PopolaManifest() {
  std::u16string outcome(kTestataNonTrovata);
  LoadStatement(IBQuery1,
                u"SELECT * FROM MANIFESTT T INNER JOIN MANIFESTR R ON T.ID=R.TESTATA WHERE T.ID=" +
                    BareIdentifier(Testata, "testata"));
  IBQuery1.Open();
  if (IBQuery1.RecordCount() > 0) {
    outcome = kTrasportatoreNonValido;
    if (IBQuery1.FieldByName(u"TRASPORTATORE").AsString() == u"DHL") {
      DHL_PreparaManifest(outcome);
    }
    StoreOutcome(u"UPDATE MANIFESTT SET ESITO=" + QuotedText(outcome) + u" WHERE ID=" + Testata);
  }
  return outcome;
}

void TFunzioniForm::StoreOutcome(const std::u16string& statement) {
  LoadStatement(IBQuery1, statement);
  ExecuteAndCommit(IBQuery1);
}

bool TFunzioniForm::ExecuteAndCommit(IBQuery& query) {
  std::string failure;
  if (ExecuteUpdate(query, IBTransaction1, &failure)) return true;
  ShowErrorBox(u"Impossibile aggiornare l'esito dell'elaborazione. " + Utf8ToUtf16(failure));
  return false;
}

std::u16string PopolaEtichettaForm(const std::u16string& Database, const std::u16string& Testata,
                                   const std::u16string& Riga) {
  TFunzioniForm context(Database);
  context.Testata = Testata;
  context.Riga = Riga;
  return context.PopolaEtichetta(true);
}

std::u16string PopolaManifestForm(const std::u16string& Database, const std::u16string& Testata,
                                  const std::u16string& Riga) {
  TFunzioniForm context(Database);
  context.Testata = Testata;
  context.Riga = Riga;
  return context.PopolaManifest();
}

}  // namespace vorlabws
