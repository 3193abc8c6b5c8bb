// What the package tests share: the Debian package built from this build with cpack, commands
// run to their end, a listing of installed places, and the test's installation into the real
// system, which owns what it changed there (the package, the group vorlabws, a user of its own)
// and undoes it when it goes, or, after a run that was killed, when the clean-up program runs.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace vorlabws::testing {

// Runs the command (starting with the executable's full path) with its output captured.
ProcessResult RunCommand(const std::vector<std::string>& command);

// Builds the package into `folder` (its version: the project's, or `version` in its place) and
// returns the package file's path.
std::string BuildPackage(const std::string& folder, const std::string& version = "");

// Every path at or below each of `paths` (links not followed), sorted, one line each:
// "<path> <type> <mode> <owner>:<group>" with " -> <target>" for a link. Missing paths are left
// out.
std::vector<std::string> Listing(const std::vector<std::string>& paths);

// Why the test must leave this machine alone, or empty when it may install: it needs root, and
// an installation or group vorlabws that it did not make stays untouched.
std::string ReasonToLeaveTheSystemAlone();

class SystemInstallation {
 public:
  // Records what it is about to change, so a killed run can be undone by the clean-up program.
  SystemInstallation();
  SystemInstallation(const SystemInstallation&) = delete;
  SystemInstallation& operator=(const SystemInstallation&) = delete;
  ~SystemInstallation();

  // An ordinary user of the test's own, in the group vorlabws (which the package made).
  void AddUser();
  const std::string& user() const { return user_; }
  void RemoveUser();

  // Undoes what a run recorded and did not undo itself; true when there was such a run.
  static bool UndoInterruptedRun();

 private:
  std::string user_;
};

}  // namespace vorlabws::testing
