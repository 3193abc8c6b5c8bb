// One job under one fault, as a workstation user without privileges runs it: a program folder of
// its own (a copy of the worker with the installed templates and the real relay), a job database
// on the Firebird server on loopback, the stand-in BRT and DHL services, and the job beside a twin
// of it. Both hold the results of an earlier run ("previous content"); the twin runs first without
// the fault, so its rows show the complete result the faulty run must either reach or not touch.
// The scene owns every process, port and file it made.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/dhl/dhl_test_support.h"
#include "tests/support/closed_port.h"
#include "tests/support/test_support.h"
#include "tools/brt-standin/standin_process.h"

namespace vorlabws::testing {

enum class Job { kBrtLabel, kDhlLabel, kDhlManifest };
const char* JobName(Job job);

// The columns of one row as text, by name; empty when there is no such row (or table).
using Record = std::map<std::string, std::u16string>;

// The two rows a job may write: for a label job its header and its parcel row, for a manifest the
// manifest header and the parcel row of its shipment (which it only reads).
struct JobRows {
  Record header;
  Record row;
};

// The result columns of a row: every column but the job's key and ESITO (checked on its own).
Record Results(Record record);

// How a run of the worker went.
struct FaultRun {
  int exit_code = -1;
  std::string standard_output;
  std::string standard_error;
  std::chrono::steady_clock::duration took{};
};

class FaultScene {
 public:
  explicit FaultScene(Job job);
  FaultScene(const FaultScene&) = delete;
  FaultScene& operator=(const FaultScene&) = delete;

  const JobDatabase& database() const { return database_; }
  const ProgramFolderCopy& program() const { return program_; }
  const standin::StandInService& brt_service() const { return *brt_service_; }
  // The job database's file.
  const std::string& database_file() const { return database_file_; }

  // Runs the twin, or the job, as the host starts it ("ETICHETTA" or "MANIFEST"); the job runs
  // with the permissions that SetPermissions gave, restored once it has ended.
  FaultRun RunTwin() const;
  FaultRun RunJob();

  // The job's rows and the twin's, as they stand now.
  JobRows JobRowsNow() const;
  JobRows TwinRowsNow() const;
  // The outcome text stored with the job, when its column exists.
  std::optional<std::u16string> Esito(const JobRows& rows) const;
  // The text of errore.txt in the program folder; empty when there is none.
  std::string Errore() const;

  // What a fault may change.
  // The worker's first argument in place of the database's connection string.
  void SetDatabaseArgument(std::string argument) { database_argument_ = std::move(argument); }
  void SetEnvironment(const std::string& name, const std::string& value);
  // A stand-in BRT service started with `options` in place of the well-behaved one.
  void UseBrtService(const std::vector<std::string>& options);
  // The BRT service's description on a port where nothing listens.
  void UseUnreachableBrtService();
  // A shell script in place of the real relay: "#!/bin/sh" and these lines.
  void UseRelayScript(const std::string& lines);
  // Removes a file of the program folder ("report/BRT.prn").
  void RemoveFile(const std::string& relative);
  // Gives a file or folder these permission bits while the job runs.
  void SetPermissions(const std::string& path, unsigned mode);
  // A port where nothing listens, kept for the scene's life.
  int ClosedPortNumber();

 private:
  FaultRun Run(const std::string& testata) const;

  Job job_;
  TempFolder folder_;
  ProgramFolderCopy program_;
  std::string database_file_;
  JobDatabase database_;
  std::string database_argument_;
  std::unique_ptr<standin::StandInService> brt_service_;
  DhlStandIn dhl_service_;
  std::map<std::string, std::string> environment_;
  std::vector<std::pair<std::string, unsigned>> permissions_;
  std::vector<std::unique_ptr<ClosedPort>> closed_ports_;
};

}  // namespace vorlabws::testing
