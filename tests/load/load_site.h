// Where the load tests run: a job database on the Firebird server (in a folder open to the
// server's user), a program folder with the built worker, the real relay and the load's label
// templates, and both stand-in services on loopback, which the workers' environment points at.
// What the jobs left is read back from the job tables a column at a time, for every row at once.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/dhl/dhl_test_support.h"
#include "tests/load/load_jobs.h"
#include "tests/load/worker_pool.h"
#include "tests/support/test_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {

class LoadSite {
 public:
  LoadSite();

  const JobDatabase& database() const { return database_; }
  // The worker's arguments for the label job of a parcel, and for a manifest job.
  std::vector<std::string> LabelJob(int testata, int riga) const;
  std::vector<std::string> ManifestJob(int id) const;
  // Starts the jobs on a pool of `size` workers, with `environment` added to the site's settings.
  WorkerPool StartWorkers(
      std::vector<std::vector<std::string>> jobs, size_t size,
      const std::vector<std::pair<std::string, std::string>>& environment = {}) const;

 private:
  TempFolder folder_;
  JobDatabase database_;
  ProgramFolderCopy program_;
  standin::StandInService brt_;
  DhlStandIn dhl_;
};

// The job tables as the jobs left them. Each column is read once, for all rows, when first asked
// for; the tables must not change meanwhile.
class StoredJobs {
 public:
  explicit StoredJobs(const JobDatabase& database) : database_(database) {}

  bool HasHeader(int testata) const;
  bool HasRow(int testata, int riga) const;
  // A column's text; fails the test when there is no such header or row.
  std::u16string Header(int testata, const std::string& column) const;
  std::u16string Row(int testata, int riga, const std::string& column) const;

 private:
  struct Table {
    std::string select;  // every row, with its key as the column JOBKEY
    std::vector<std::u16string> keys;
    std::map<std::string, std::map<std::u16string, std::u16string>> columns;
  };
  const std::vector<std::u16string>& Keys(Table& table) const;
  std::u16string Value(Table& table, const std::u16string& key, const std::string& column) const;

  const JobDatabase& database_;
  mutable Table headers_{"SELECT T.*, T.ID AS JOBKEY FROM VORLABT T ORDER BY T.ID", {}, {}};
  mutable Table rows_{
      "SELECT R.*, R.TESTATA || '/' || R.RIGA AS JOBKEY FROM VORLABR R ORDER BY R.TESTATA, R.RIGA",
      {},
      {}};
};

// The worker's run and what its label job left in the header and the row match `expected`.
void ExpectLabelJobEnded(const WorkerRun& run, const StoredJobs& stored, int testata, int riga,
                         const ExpectedJob& expected);

}  // namespace vorlabws::testing
