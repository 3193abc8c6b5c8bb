// What the phases of a DHL label job share: the job's files below the program folder, a column
// of the job record as text, and the statements that store the routing values and the labels.
#pragma once

#include <string>

#include "db/firebird.h"

namespace vorlabws {

// The files of one job; every path is the program folder followed by the relative name.
struct DhlJobFiles {
  DhlJobFiles(const std::u16string& FilePath, const std::u16string& Testata,
              const std::u16string& Riga);

  std::u16string request_template;  // data/dhl_template.txt
  std::u16string request_name;      // dhl_<testata>_<riga>.txt
  std::u16string data_folder;       // data, without final separator: the relay's second argument
  std::u16string request;           // data/dhl_<testata>_<riga>.txt
  std::u16string reply;             // data/out/dhl_<testata>_<riga>.txt
  std::u16string label_template;    // report/DHL.prn
  std::u16string errore;            // errore.txt
  std::u16string relay;             // Relayer.exe
};

// The column of the job record as text (a NULL reads as empty); a missing column raises.
std::u16string ColumnText(const ColumnReader& job, const char16_t* column);

// The number with a decimal point where the host writes a comma.
std::u16string WithDecimalPoint(const std::u16string& number);

// Closes the query and gives it an empty statement text for the caller's lines.
SqlText& NewStatement(IBQuery& query);

// Runs the UPDATE loaded in the query and commits it, keeping the transaction. When either fails:
// rolls back (keeping the transaction), writes the statement text with a CR LF after every line
// to `errore_path` (UTF-8) and returns false; the failure goes no further. When that file cannot
// be written, raises a FileError that names the file and the update's failure.
bool ExecuteJobUpdate(IBQuery& query, IBTransaction& transaction,
                      const std::u16string& errore_path);

}  // namespace vorlabws
