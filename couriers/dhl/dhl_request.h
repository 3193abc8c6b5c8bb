// The shipment request of a DHL label job: the request template filled from the job record, the
// 32 placeholders in their fixed order, the insurance service fragment in place of "@SERVICE@".
#pragma once

#include <string>

#include "db/column_reader.h"

namespace vorlabws {

// `Request` (the template text) with every request placeholder filled from the job record.
std::u16string FillRequest(std::u16string Request, const ColumnReader& job);

}  // namespace vorlabws
