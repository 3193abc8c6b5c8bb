// What the trace shows of the database: the connection's parameter lines with the password
// masked, a fetched row column by column, and the rows a statement changed.
#pragma once

#include <ibase.h>

#include <string>
#include <vector>

#include "db/field_value.h"

namespace vorlabws {

// One line per parameter line, each password's value replaced by "***" ("password=***",
// "PASSWORD \"***\"").
std::string MaskedParameters(const std::vector<std::u16string>& lines);

// One "NAME=value" line per column; NULL shows as "(null)", a blob not read yet as "(blob)".
std::string RowText(const std::vector<std::u16string>& names, const std::vector<FieldValue>& row,
                    const std::vector<bool>& unread_blobs);

// The rows the statement inserted, updated or deleted; -1 when the server does not tell.
long RowsChanged(isc_stmt_handle* statement);

}  // namespace vorlabws
