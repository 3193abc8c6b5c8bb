// The routing request of a BRT label job, built from the job row, and the texts the label phase
// keeps from the same row on the way. The caller owns the result; the job query is only read.
#pragma once

#include <string>

#include "couriers/brt/easyspeddews1.h"
#include "db/column_reader.h"

namespace vorlabws {

struct RoutingJob {
  DestinationAddress2 Request;  // all 45 members set, in member order
  std::u16string DestinatarioVia;
  std::u16string DestinatarioNrCivico;
  std::u16string MeseSpedizione;
  std::u16string GiornoSpedizione;
  std::u16string Peso;    // the weight for the label, one decimal
  std::u16string Volume;  // the volume for the label, three decimals
  std::u16string mitt_spedizione;
  std::u16string codice_cartone;
};

// Reads the job row's columns by name. A missing column, an integer column holding anything but
// an integer, a month and day that do not read as one number, or a weight or volume that is no
// regional number raises, before anything is sent.
RoutingJob ReadRoutingJob(const ColumnReader& job);

// A decimal of the request ("12.25") as the label prints it: rounded to `decimals` places with
// halves going to the even neighbour, in the regional general form ("12,2").
std::u16string LabelDecimalText(const XsdDecimal& value, int decimals);

}  // namespace vorlabws
