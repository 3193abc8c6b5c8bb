// What the BRT job tests share: a complete BRT label job in a job database (a Milan recipient,
// one parcel), and a program folder of a test's own (a copy of the built worker beside a label
// template of the test's choosing).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/firebird.h"
#include "platform/process.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {

// Column name -> SQL literal ("'text'", "12.25", "NULL"), header and row columns alike.
using BrtJobColumns = std::map<std::string, std::string>;

// Inserts the job's header `testata` and its row `riga`, with `changes` in place of the usual
// values.
void AddBrtJob(const JobDatabase& database, int testata, int riga,
               const BrtJobColumns& changes = {});

// Sets `column` of the rows of `table` that match `where` to `text`, sent as a statement parameter
// so it may be longer than a literal.
void SetText(const JobDatabase& database, const std::string& table, const std::string& column,
             const std::string& where, const std::u16string& text);

// A program folder in a temporary folder: a copy of the built worker and report/BRT.prn holding
// `label_template`, or no template at all.
class WorkerFolder {
 public:
  explicit WorkerFolder(const std::optional<std::string>& label_template);

  // Runs the copy with the BRT service description at `wsdl`.
  WorkerRun Run(const std::vector<std::string>& arguments, const std::u16string& wsdl) const;

 private:
  TempFolder folder_;
};

// Runs the built worker with the BRT service description at `wsdl`.
WorkerRun RunBrtWorker(const std::vector<std::string>& arguments, const std::u16string& wsdl);

}  // namespace vorlabws::testing
