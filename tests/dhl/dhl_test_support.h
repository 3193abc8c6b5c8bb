// What the DHL tests share: a complete DHL label job in a job database, the job record as the
// worker reads it, a program folder of a test's own (its own worker copy, templates, data folders
// and relay), and the stand-in DHL service on a free loopback port.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/firebird.h"
#include "platform/process.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {

// Column name -> SQL literal ("'text'", "12.5", "NULL").
using Columns = std::map<std::string, std::string>;

// Inserts a complete DHL label job (a German receiver, one parcel), with `changes` in place of the
// usual values (header and row columns alike).
void AddDhlJob(const JobDatabase& database, int testata, int riga, const Columns& changes = {});

// The header update of a job added with no changes, as errore.txt holds it when the update fails.
std::string DefaultHeaderUpdate(int testata);

// Jobs in a database of their own, each read back as the worker reads it.
class DhlJobRecords {
 public:
  DhlJobRecords();
  // Adds a new DHL job with `changes` and opens its record.
  std::unique_ptr<JobRecord> Add(const Columns& changes);

 private:
  TempFolder folder_;
  JobDatabase database_;
  int next_testata_ = 1;
};

// A program folder in `path` (ending with "/"): a copy of the built worker, the build's templates,
// data/ and data/out/. The relay is whatever the test puts there.
class ProgramFolderCopy {
 public:
  explicit ProgramFolderCopy(std::string path);

  const std::string& path() const { return path_; }
  // The built relay.
  void InstallRealRelay() const;
  // A shell script as the relay: "#!/bin/sh" and these lines.
  void InstallRelayScript(const std::string& lines) const;
  // Replaces a file of the folder ("report/DHL.prn") with these bytes.
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

  WorkerRun Run(const std::vector<std::string>& arguments, const StartOptions& options = {}) const;

 private:
  std::string path_;
};

// The stand-in DHL service, listening on a free loopback port until the object goes.
class DhlStandIn {
 public:
  DhlStandIn();
  // Its service address ("http://127.0.0.1:<port>/sndpt/DocumentRendering").
  const std::string& address() const { return address_; }

 private:
  ChildProcess process_;
  std::string address_;
};

// A reply document as the service writes it, with `entries` (elements as text) in its response
// element.
std::string ReplyDocument(const std::string& entries);

// The built tools' folder, with a final "/".
std::string ToolsFolderOfBuild();

// A piece of a fixed-width record: its first position (counted from 1) and its characters.
struct Piece {
  size_t position;
  std::u16string text;
};

// A record of `length` characters holding the pieces, blanks everywhere else, then CR LF. The
// pieces are listed left to right; one that overlaps another or runs past the end is a fault of
// the expectation itself.
std::u16string FixedWidthRecord(size_t length, const std::vector<Piece>& pieces);

std::u16string Join(const std::vector<std::u16string>& records);

// The manifest's header record and the courier report's title line, as stored ("´" for the
// apostrophe of "CITTA'", like every apostrophe of both texts).
std::u16string ManifestHeaderRecord();
std::u16string CourierReportTitle();

// Equal texts, or where they first differ with the lines around it (a manifest runs to megabytes).
::testing::AssertionResult SameText(const std::u16string& expected, const std::u16string& actual);

}  // namespace vorlabws::testing
