// The program's own DHL label: the label template filled from the re-read job record (48
// placeholders in their fixed order, some composed: licence plate parts and groups, routing code
// parts, capitals, the waybill kind), and the row UPDATE that stores the three label texts.
#pragma once

#include <string>
#include <vector>

#include "db/firebird.h"
#include "jobs/template_text.h"

namespace vorlabws {

// The label's placeholders in the order they are filled, with their values from the job record.
std::vector<Placeholder> LabelPlaceholders(const ColumnReader& job);

// `Report_Custom` (the template text) with every label placeholder filled from the job record.
std::u16string FillLabel(std::u16string Report_Custom, const ColumnReader& job);

// The three label texts of the job row.
struct DhlLabels {
  std::u16string Report_Etichetta;  // first print document of the reply
  std::u16string Report_Archivio;   // second print document of the reply
  std::u16string Report_Custom;     // the program's own label
};

// Loads the row UPDATE of the three texts into `query`; they go to the server as statement
// parameters, so labels of any length store whole.
void LoadRowUpdate(IBQuery& query, const DhlLabels& labels, const std::u16string& Testata,
                   const std::u16string& Riga);

}  // namespace vorlabws
