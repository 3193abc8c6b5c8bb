// The label jobs of the load: BRT and DHL shipments to a variety of destinations (each routed
// differently by its courier, or ending with an outcome of its own), and what the job of each
// parcel must leave: exit code, outcome, the header's routing, the row's label texts, and each DHL
// shipment's records in the manifest. Every expectation is worked out from the shipment's own
// values and the stand-in services' documented answers.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"

namespace vorlabws::testing {

enum class Courier { kBrt, kDhl };

// The label templates of the load's program folder: each shows the values that tell one job
// from another.
std::string BrtLoadTemplate();
std::string DhlLoadTemplate();

// A shipment: its courier, its header, which of the courier's destinations it goes to, and its
// parcels (rows 1 to `parcels`).
struct Shipment {
  Courier courier;
  int testata;
  size_t destination;
  int parcels = 1;
};

// How many destinations a courier has; each is a case of its own.
size_t DestinationCount(Courier courier);

// Inserts the shipment's header and its parcels.
void AddShipment(const JobDatabase& database, const Shipment& shipment);

// Column names with their texts as the worker reads them back.
using ColumnTexts = std::vector<std::pair<std::string, std::u16string>>;

struct ExpectedJob {
  int exit_code = 0;
  std::u16string esito;             // as stored
  ColumnTexts header;               // the routing columns that the courier's label jobs write
  ColumnTexts row;                  // the label texts
  std::string standard_error = {};  // a box's line, when the job shows one
};

// What the label job of parcel `riga` leaves when nothing else touches its shipment meanwhile.
ExpectedJob ExpectedLabelJob(const Shipment& shipment, int riga);

// A DHL shipment's records in the manifest and its line in the courier report, as stored, with
// its header as it stands before its label job stores the routing, or after.
struct ManifestEntry {
  std::u16string records;
  std::u16string report_line;
};
ManifestEntry ExpectedManifestEntry(const Shipment& shipment, bool routed);

}  // namespace vorlabws::testing
