#include "db/database_trace.h"

#include "platform/code_page.h"
#include "platform/text.h"

namespace vorlabws {

std::string MaskedParameters(const std::vector<std::u16string>& lines) {
  std::string text;
  for (const std::u16string& line : lines) {
    const size_t end = line.find_first_of(u"= ");
    const std::u16string key = line.substr(0, end);
    std::u16string shown = line;
    if (end != std::u16string::npos && SameTextIgnoringCase(key, u"password")) {
      shown = key + (line[end] == u'=' ? u"=***" : u" \"***\"");
    }
    text += Utf16ToUtf8(shown) + "\n";
  }
  return text;
}

std::string RowText(const std::vector<std::u16string>& names, const std::vector<FieldValue>& row,
                    const std::vector<bool>& unread_blobs) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < row.size(); ++i) {
    text += Utf16ToUtf8(names[i]) + "=";
    if (unread_blobs[i]) {
      text += "(blob)";
    } else if (row[i].IsNull()) {
      text += "(null)";
    } else {
      text += Utf16ToUtf8(row[i].AsString());
    }
    text += "\n";
  }
  return text;
}

long RowsChanged(isc_stmt_handle* statement) {
  const char items[] = {isc_info_sql_records, isc_info_end};
  char buffer[128] = {};
  ISC_STATUS_ARRAY status;
  isc_dsql_sql_info(status, statement, sizeof items, items, sizeof buffer, buffer);
  if ((status[0] == 1 && status[1] != 0) || buffer[0] != isc_info_sql_records) return -1;
  // isc_info_sql_records, its length, then counters: item, length, value.
  long changed = 0;
  const char* cursor = buffer + 3;
  const char* const end = buffer + sizeof buffer;
  while (cursor + 3 <= end && *cursor != isc_info_end) {
    const char item = *cursor;
    const short length =
        static_cast<short>(isc_portable_integer(reinterpret_cast<const ISC_UCHAR*>(cursor + 1), 2));
    if (cursor + 3 + length > end) break;
    const long value = static_cast<long>(
        isc_portable_integer(reinterpret_cast<const ISC_UCHAR*>(cursor + 3), length));
    if (item == isc_info_req_insert_count || item == isc_info_req_update_count ||
        item == isc_info_req_delete_count) {
      changed += value;
    }
    cursor += 3 + length;
  }
  return changed;
}

}  // namespace vorlabws
