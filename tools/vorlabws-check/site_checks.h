// The checks of one site, each giving its findings: the program folder beside this tool, the
// database route of dati.ini, the job tables, the environment overrides and, on request, the
// couriers' services. None of them creates, writes or sends anything.
#pragma once

#include <memory>
#include <string>

#include "db/firebird.h"
#include "tools/vorlabws-check/findings.h"

namespace vorlabws::check {

// The worker, the relay, the templates with their placeholders, the folders the jobs write into.
Findings CheckProgramFolder(const std::u16string& folder);

// dati.ini and the connection strings the worker would try for `database` (its command-line
// argument), in order; each is attached, never created. The connection that attached, if any,
// is the caller's.
struct RouteCheck {
  Findings findings;
  std::unique_ptr<IBDatabase> attached;
};
RouteCheck CheckDatabaseRoute(const std::u16string& database);

// The job tables and every column the jobs read or write, on an attached connection.
Findings CheckJobTables(IBDatabase& database);

// The environment overrides in force, and any the worker would refuse.
Findings CheckEnvironment();

// The BRT service description, its service, port and endpoint; the DHL address and its TLS
// handshake. No request is sent to either courier.
Findings CheckCouriersOnline();

}  // namespace vorlabws::check
