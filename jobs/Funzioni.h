// The job context and the job runner. TFunzioniForm owns, for one job, the connection, its one
// transaction, the two queries and the XML document; the courier routines are its operations
// (defined with each courier) and borrow them. The entry functions create a context, run the job
// and destroy it.
#pragma once

#include <string>

#include "db/firebird.h"
#include "platform/forms.h"
#include "platform/xml.h"

namespace vorlabws {

class EasySpedDEWS;
class DestinationAddress2;
class DestinationAddressOut2;

// The job context owns the server prompt the locator may show while it opens the database.
class TFunzioniForm : public TComponent {
 public:
  // Splits `Database` into folder and file name and opens the database through the locator; when
  // that fails, shows "Errore apertura archivio" and carries on.
  explicit TFunzioniForm(const std::u16string& Database);

  // Declared in this order so the document and the queries go first, then the transaction, then
  // the connection.
  IBDatabase IBDatabase1;
  IBTransaction IBTransaction1{IBDatabase1};
  IBQuery IBQuery1{IBDatabase1, IBTransaction1};
  IBQuery IBQuery2{IBDatabase1, IBTransaction1};
  XmlDocument XMLDocument1;  // the DHL reply, once read

  std::u16string Testata;
  std::u16string Riga;

  // With true runs the whole label job; with false only re-opens the job query on the job row.
  std::u16string PopolaEtichetta(bool CalcolaInstradamento);
  std::u16string PopolaManifest();

  // Courier routines: each leaves its outcome text in `Result`.
  void BRT_CalcolaInstradamento(std::u16string& Result);
  std::u16string BRT_GetLabelForZebraPrinter(EasySpedDEWS& Service,
                                             const DestinationAddress2& Destination,
                                             const DestinationAddressOut2& DestinationOut);
  void DHL_CalcolaInstradamento(std::u16string& Result);
  void DHL_PreparaManifest(std::u16string& Result);

 private:
  // Stores the outcome with `statement`; a failure rolls back and shows the box, outcome unchanged.
  void StoreOutcome(const std::u16string& statement);
  // Runs the statement loaded in `query` and commits it, true when stored; a failure rolls back
  // and shows the box "Impossibile aggiornare l'esito dell'elaborazione. " + its message.
  bool ExecuteAndCommit(IBQuery& query);
};

// Closes the query and clears its statement text, ready for a new statement.
void ClearStatement(IBQuery& query);
// Clears the query and gives it `line` as its only line of text.
void LoadStatement(IBQuery& query, const std::u16string& line);

// Split of the database argument: the folder up to and including its last "\", ":" or "/".
struct DatabasePath {
  std::u16string Percorso;
  std::u16string Nome;
};
DatabasePath SplitDatabasePath(const std::u16string& Database);

std::u16string PopolaEtichettaForm(const std::u16string& Database, const std::u16string& Testata,
                                   const std::u16string& Riga);
std::u16string PopolaManifestForm(const std::u16string& Database, const std::u16string& Testata,
                                  const std::u16string& Riga);

}  // namespace vorlabws
