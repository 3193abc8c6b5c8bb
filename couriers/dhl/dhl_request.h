// The shipment request of a DHL label job: the request template filled from the job record, the
// 32 placeholders in their fixed order, the insurance service fragment in place of "@SERVICE@".
#pragma once

#include <string>
#include <vector>

#include "db/column_reader.h"
#include "jobs/template_text.h"

namespace vorlabws {

// The request's placeholders in the order they are filled, with their values from the job record.
std::vector<Placeholder> RequestPlaceholders(const ColumnReader& job);

// `Request` (the template text) with every request placeholder filled from the job record.
std::u16string FillRequest(std::u16string Request, const ColumnReader& job);

}  // namespace vorlabws
