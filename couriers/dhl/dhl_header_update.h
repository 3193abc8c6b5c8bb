// The header UPDATE of a DHL label job: the ten routing values of the reply into the job's
// VORLABT row, loaded into the caller's query for the job's update runner.
#pragma once

#include <string>

#include "couriers/dhl/dhl_reply.h"
#include "db/firebird.h"

namespace vorlabws {

// Loads the header UPDATE of the routing values into `query`.
void LoadHeaderUpdate(IBQuery& query, const DhlRouting& routing, const std::u16string& Testata);

}  // namespace vorlabws
