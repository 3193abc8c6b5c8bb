// How a job stores what it produced: an UPDATE loaded in a query of the job's one transaction runs
// and is committed with the transaction kept, or rolled back with it kept when either fails.
#pragma once

#include <string>

#include "db/firebird.h"

namespace vorlabws {

// Runs the UPDATE loaded in `query` and commits it; true when stored. A failure of either is
// rolled back and goes no further: the caller reports it by the job's outcome, and finds its
// message in `failure_message` when it asks for it.
bool ExecuteUpdate(IBQuery& query, IBTransaction& transaction,
                   std::string* failure_message = nullptr);

}  // namespace vorlabws
