// A record's specified members as text, one "name=value" line each in member order ("(nil)" for a
// member marked nil), so tests compare whole records.
#pragma once

#include <string>

#include "couriers/brt/soap_record.h"

namespace vorlabws::testing {

std::string MembersText(const SoapRecord& record);

}  // namespace vorlabws::testing
