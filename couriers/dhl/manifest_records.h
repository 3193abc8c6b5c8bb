// The records of the DHL end-of-day manifest and the lines of its courier report. Each function
// appends one record or line, with its CR LF, to the text being built; shipment and parcel values
// come from the shipment's or the parcel's row, read by column name.
#pragma once

#include <string>

#include "db/column_reader.h"

namespace vorlabws {

// The manifest's first record: its kind, sender and receiver of the file.
void AppendManifestHeaderRecord(std::u16string& Manifest);
// One shipment from its VORLABT row. Year, month and day go in as they are, unpadded.
void AppendShipmentRecord(std::u16string& Manifest, const ColumnReader& shipment);
// One parcel from its VORLABR row.
void AppendParcelRecord(std::u16string& Manifest, const ColumnReader& parcel);

// The report's title line, the fifteen titles as the courier names them.
void AppendCourierReportTitle(std::u16string& CourierReport);
// One shipment's line under those titles, values as they are.
void AppendCourierReportLine(std::u16string& CourierReport, const ColumnReader& shipment);

}  // namespace vorlabws
