// The two statements a BRT label job writes, loaded into the job query's text: the routing into
// the header, the two labels into the row.
#pragma once

#include <string>

#include "couriers/brt/easyspeddews1.h"
#include "db/firebird.h"

namespace vorlabws {

// Closes the query and loads "UPDATE VORLABT SET" the reply's zone, depots and terminal
// " WHERE ID=" + Testata.
void LoadBrtHeaderUpdate(IBQuery& query, const DestinationAddressOut2& Response,
                         const std::u16string& Testata);

// Closes the query and loads "UPDATE VORLABR SET" the courier's label and ours
// " WHERE TESTATA=... AND RIGA=...". The labels go to the server as statement parameters (they
// outgrow a literal), with every "'" made "´".
void LoadBrtRowUpdate(IBQuery& query, const std::u16string& report,
                      const std::u16string& Report_Custom, const std::u16string& Testata,
                      const std::u16string& Riga);

}  // namespace vorlabws
