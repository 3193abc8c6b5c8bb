// Work done as a user without privileges (nobody), as the tests run as root: such a user cannot
// write into a read-only folder, and outside the firebird group cannot open a database file with
// Firebird's embedded engine, only through the server. When the tests already run unprivileged,
// the work runs as it is.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace vorlabws::testing {

// The command (starting with the executable's full path) run as that user.
std::vector<std::string> AsUnprivilegedUser(const std::vector<std::string>& command);

// Runs the command (starting with the executable's full path) in a session of its own without a
// display, where no one can answer a box, and captures what it prints.
ProcessResult RunUnattended(const std::vector<std::string>& command);

// Runs `work` in a child process as that user and returns what it returned.
std::string RunUnprivileged(const std::function<std::string()>& work);

}  // namespace vorlabws::testing
