#include "db/firebird.h"

#include <cstring>
#include <ctime>

#include "db/database_trace.h"
#include "platform/code_page.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace vorlabws {
namespace {

constexpr unsigned short kDialect = 3;
constexpr size_t kMessageContextLimit = 400;  // statement characters quoted in a message
const char16_t kParameterMarker = u'\uFFFF';  // a noncharacter: never part of job data

using Status = ISC_STATUS[20];

bool Failed(const Status& status) { return status[0] == 1 && status[1] != 0; }

// The client's messages for the status vector, joined on one line, with the context after them.
std::string Interpret(const Status& status, const std::string& context) {
  std::string message;
  const ISC_STATUS* cursor = status;
  char buffer[1024];
  while (fb_interpret(buffer, sizeof buffer, &cursor) > 0) {
    if (!message.empty()) message += "; ";
    message += buffer;
  }
  if (context.empty()) return message;
  return message + " [" + context + "]";
}

void RaiseIfFailed(const Status& status, const std::string& context) {
  if (Failed(status)) throw DatabaseError(Interpret(status, context));
}

std::string StatementContext(const SqlText& sql) {
  const std::u16string statement = sql.Text();
  std::u16string shown = statement.size() > kMessageContextLimit
                             ? statement.substr(0, kMessageContextLimit) + u"..."
                             : statement;
  return "SQL: " + Utf16ToUtf8(ReplaceAll(ReplaceAll(shown, u"\r\n", u" "), u"\n", u" "));
}

// The statement is written out only when it failed: with a long text parameter its literal form
// runs to megabytes, too much to build for every call that succeeds.
void RaiseIfFailed(const Status& status, const SqlText& sql) {
  if (!Failed(status)) return;
  const std::string message = Interpret(status, StatementContext(sql));
  Trace("sql failed: " + message);
  throw DatabaseError(message);
}

// Records how a step of the connection or the transaction ended, then raises its failure.
void EndStep(const Status& status, const std::string& context, const char* done, const char* failed,
             const TraceStopwatch& watch) {
  if (!Failed(status)) {
    if (TraceOn()) Trace(done + (" in " + watch.Elapsed()));
    return;
  }
  const std::string message = Interpret(status, context);
  Trace(failed + (" in " + watch.Elapsed()) + ": " + message);
  throw DatabaseError(message);
}

std::string TraceText(const std::u16string& text) { return TraceBody(Utf16ToUtf8(text)); }

void AppendDpbText(std::string& dpb, char item, const std::string& value) {
  dpb.push_back(item);
  dpb.push_back(static_cast<char>(value.size()));
  dpb += value;
}

std::string BuildAttachParameters(const std::vector<std::u16string>& lines) {
  std::string dpb(1, isc_dpb_version1);
  for (const std::u16string& line : lines) {
    const size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) continue;
    const std::string key = Utf16ToUtf8(line.substr(0, equals));
    const std::string value = Utf16ToUtf8(line.substr(equals + 1));
    if (key == "user_name") AppendDpbText(dpb, isc_dpb_user_name, value);
    if (key == "password") AppendDpbText(dpb, isc_dpb_password, value);
  }
  AppendDpbText(dpb, isc_dpb_lc_ctype, "WIN1252");
  return dpb;
}

XSQLDA* Sqlda(std::vector<char>& buffer) { return reinterpret_cast<XSQLDA*>(buffer.data()); }

std::vector<char> NewSqlda(int count) {
  std::vector<char> buffer(XSQLDA_LENGTH(count), 0);
  Sqlda(buffer)->version = SQLDA_VERSION1;
  Sqlda(buffer)->sqln = static_cast<ISC_SHORT>(count);
  return buffer;
}

struct BlobDeleter {
  void operator()(isc_blob_handle* handle) const {
    if (*handle != 0) {
      Status status;
      isc_cancel_blob(status, handle);
    }
    delete handle;
  }
};
using BlobHandle = std::unique_ptr<isc_blob_handle, BlobDeleter>;

std::string ReadBlob(IBDatabase& database, IBTransaction& transaction, ISC_QUAD id) {
  Status status;
  BlobHandle blob(new isc_blob_handle(0));
  isc_open_blob2(status, database.Handle(), transaction.Handle(), blob.get(), &id, 0, nullptr);
  RaiseIfFailed(status, "reading a blob");
  std::string bytes;
  char segment[32768];
  for (;;) {
    unsigned short got = 0;
    const ISC_STATUS result = isc_get_segment(status, blob.get(), &got, sizeof segment, segment);
    if (result == isc_segstr_eof) break;
    if (result != 0 && result != isc_segment) RaiseIfFailed(status, "reading a blob");
    bytes.append(segment, got);
  }
  isc_close_blob(status, blob.get());
  RaiseIfFailed(status, "reading a blob");
  return bytes;
}

// The text goes to the server segment by segment, each converted on its way: a day's manifest
// is never held a second time in the connection's code page.
ISC_QUAD WriteBlob(IBDatabase& database, IBTransaction& transaction, std::u16string_view text) {
  Status status;
  BlobHandle blob(new isc_blob_handle(0));
  ISC_QUAD id{};
  isc_create_blob2(status, database.Handle(), transaction.Handle(), blob.get(), &id, 0, nullptr);
  RaiseIfFailed(status, "writing a blob");
  constexpr size_t kSegment = 32768;
  for (size_t done = 0; done < text.size(); done += kSegment) {
    const std::string bytes = Utf16ToCp1252(text.substr(done, kSegment));
    isc_put_segment(status, blob.get(), static_cast<unsigned short>(bytes.size()), bytes.data());
    RaiseIfFailed(status, "writing a blob");
  }
  isc_close_blob(status, blob.get());
  RaiseIfFailed(status, "writing a blob");
  return id;
}

}  // namespace

void AttachmentDeleter::operator()(isc_db_handle* handle) const {
  if (*handle != 0) {
    Status status;
    isc_detach_database(status, handle);
  }
  delete handle;
}

void TransactionDeleter::operator()(isc_tr_handle* handle) const {
  if (*handle != 0) {
    Status status;
    isc_rollback_transaction(status, handle);
  }
  delete handle;
}

void StatementDeleter::operator()(isc_stmt_handle* handle) const {
  if (*handle != 0) {
    Status status;
    isc_dsql_free_statement(status, handle, DSQL_drop);
  }
  delete handle;
}

// IBDatabase

void IBDatabase::Open() {
  Close();
  const std::string name = Utf16ToUtf8(DatabaseName);
  const std::string dpb = BuildAttachParameters(Params);
  if (TraceOn()) Trace("attach " + name, MaskedParameters(Params));
  const TraceStopwatch watch;
  Status status;
  AttachmentHandle handle(new isc_db_handle(0));
  isc_attach_database(status, 0, name.c_str(), handle.get(), static_cast<short>(dpb.size()),
                      dpb.data());
  EndStep(status, "attaching " + name, "attached", "attach failed", watch);
  handle_ = std::move(handle);
}

void IBDatabase::CreateDatabase() {
  Close();
  // A quote inside the name is doubled so the name stays one literal.
  const std::u16string head = u"CREATE DATABASE '" + ReplaceAll(DatabaseName, u"'", u"''") + u"'";
  std::u16string statement = head + u" ";
  for (const std::u16string& line : Params) statement += line + u"\r\n";
  const std::string text = Utf16ToUtf8(statement);
  if (TraceOn()) {
    Trace("create database " + Utf16ToUtf8(DatabaseName),
          Utf16ToUtf8(head) + "\n" + MaskedParameters(Params));
  }
  const TraceStopwatch watch;
  Status status;
  AttachmentHandle handle(new isc_db_handle(0));
  isc_tr_handle no_transaction = 0;
  isc_dsql_execute_immediate(status, handle.get(), &no_transaction, 0, text.c_str(),
                             static_cast<unsigned short>(SQLDialect), nullptr);
  EndStep(status, "creating " + Utf16ToUtf8(DatabaseName), "created", "creation failed", watch);
  handle_ = std::move(handle);
}

void IBDatabase::Close() { handle_.reset(); }

isc_db_handle* IBDatabase::Handle() {
  if (!handle_) throw DatabaseError("Database not connected: " + Utf16ToUtf8(DatabaseName));
  return handle_.get();
}

// IBTransaction

void IBTransaction::StartTransaction() {
  if (handle_) return;
  Status status;
  TransactionHandle handle(new isc_tr_handle(0));
  // No parameter block: the server's default mode (concurrency, wait, read-write).
  const TraceStopwatch watch;
  isc_start_transaction(status, handle.get(), 1, database_.Handle(), 0, nullptr);
  EndStep(status, "starting the transaction", "transaction started", "transaction not started",
          watch);
  handle_ = std::move(handle);
}

void IBTransaction::CommitRetaining() {
  Status status;
  const TraceStopwatch watch;
  isc_commit_retaining(status, Handle());
  EndStep(status, "commit", "committed", "commit failed", watch);
}

void IBTransaction::RollbackRetaining() {
  Status status;
  const TraceStopwatch watch;
  isc_rollback_retaining(status, Handle());
  EndStep(status, "rollback", "rolled back", "rollback failed", watch);
}

void IBTransaction::Rollback() {
  if (handle_) Trace("transaction ended, rolled back");
  handle_.reset();
}

isc_tr_handle* IBTransaction::Handle() {
  if (!handle_) throw DatabaseError("Transaction not active");
  return handle_.get();
}

// SqlText

void SqlText::Clear() {
  lines_.clear();
  values_.clear();
}

void SqlText::Add(std::u16string line) { lines_.push_back(std::move(line)); }

std::u16string SqlText::Parameter(std::u16string value) {
  values_.push_back(std::move(value));
  return std::u16string(1, kParameterMarker);
}

std::u16string SqlText::Text() const {
  const std::u16string joined = JoinLines(lines_);
  std::u16string out;
  out.reserve(joined.size());
  size_t next_value = 0;
  for (const char16_t c : joined) {
    if (c == kParameterMarker && next_value < values_.size()) {
      out += u"'" + values_[next_value++] + u"'";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string SqlText::ServerText() const {
  return ReplaceAll(JoinLines(lines_), std::u16string(1, kParameterMarker), u"?");
}

// IBQuery

void IBQuery::Close() {
  statement_.reset();
  columns_.clear();
  row_.clear();
  unread_blobs_.clear();
  output_.clear();
  eof_ = true;
  record_count_ = 0;
}

void IBQuery::Prepare() {
  Close();
  if (!database_.Connected()) database_.Open();
  transaction_.StartTransaction();
  if (TraceOn()) Trace("sql", TraceText(SQL.Text()));
  const std::u16string text = SQL.ServerText();
  const std::string bytes = Utf16ToCp1252(text);
  Status status;
  StatementHandle statement(new isc_stmt_handle(0));
  isc_dsql_allocate_statement(status, database_.Handle(), statement.get());
  RaiseIfFailed(status, SQL);
  output_ = NewSqlda(1);
  isc_dsql_prepare(status, transaction_.Handle(), statement.get(), 0, bytes.c_str(), kDialect,
                   Sqlda(output_));
  RaiseIfFailed(status, SQL);
  const int count = Sqlda(output_)->sqld;
  if (count > Sqlda(output_)->sqln) {
    output_ = NewSqlda(count);
    isc_dsql_describe(status, statement.get(), kDialect, Sqlda(output_));
    RaiseIfFailed(status, SQL);
  }
  columns_.resize(count);
  for (int i = 0; i < count; ++i) {
    XSQLVAR& var = Sqlda(output_)->sqlvar[i];
    Column& column = columns_[i];
    column.name = Cp1252ToUtf16(std::string_view(var.aliasname, var.aliasname_length));
    const bool varying = (var.sqltype & ~1) == SQL_VARYING;
    column.data.assign(static_cast<size_t>(var.sqllen) + (varying ? 2 : 0), 0);
    var.sqldata = column.data.data();
    var.sqlind = &column.null_indicator;
  }
  statement_ = std::move(statement);
}

void IBQuery::Open() {
  const TraceStopwatch watch;
  Prepare();
  Status status;
  isc_dsql_execute(status, transaction_.Handle(), statement_.get(), kDialect, nullptr);
  RaiseIfFailed(status, SQL);
  if (TraceOn()) Trace("sql opened in " + watch.Elapsed());
  eof_ = false;
  Fetch();
}

void IBQuery::Next() {
  if (!eof_) Fetch();
}

void IBQuery::Fetch() {
  Status status;
  const ISC_STATUS result = isc_dsql_fetch(status, statement_.get(), kDialect, Sqlda(output_));
  if (result == 100) {
    eof_ = true;
    if (TraceOn()) Trace("end of rows after " + std::to_string(record_count_));
    return;
  }
  RaiseIfFailed(status, SQL);
  ++record_count_;
  row_.clear();
  unread_blobs_.assign(columns_.size(), std::nullopt);
  for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
    const XSQLVAR& var = Sqlda(output_)->sqlvar[i];
    const char* data = var.sqldata;
    if ((var.sqltype & 1) && columns_[i].null_indicator < 0) {
      row_.push_back(FieldValue::Null());
      continue;
    }
    const int scale = -var.sqlscale;
    struct tm parts {};
    switch (var.sqltype & ~1) {
      case SQL_TEXT:
        row_.push_back(FieldValue::Text(Cp1252ToUtf16(std::string_view(data, var.sqllen))));
        break;
      case SQL_VARYING: {
        uint16_t length;
        std::memcpy(&length, data, 2);
        row_.push_back(FieldValue::Text(Cp1252ToUtf16(std::string_view(data + 2, length))));
        break;
      }
      case SQL_SHORT: {
        int16_t value;
        std::memcpy(&value, data, sizeof value);
        row_.push_back(FieldValue::Exact(value, scale));
        break;
      }
      case SQL_LONG: {
        int32_t value;
        std::memcpy(&value, data, sizeof value);
        row_.push_back(FieldValue::Exact(value, scale));
        break;
      }
      case SQL_INT64: {
        int64_t value;
        std::memcpy(&value, data, sizeof value);
        row_.push_back(FieldValue::Exact(value, scale));
        break;
      }
      case SQL_FLOAT: {
        float value;
        std::memcpy(&value, data, sizeof value);
        row_.push_back(FieldValue::Float(value));
        break;
      }
      case SQL_DOUBLE:
      case SQL_D_FLOAT: {
        double value;
        std::memcpy(&value, data, sizeof value);
        row_.push_back(FieldValue::Float(value));
        break;
      }
      case SQL_TYPE_DATE:
        isc_decode_sql_date(reinterpret_cast<const ISC_DATE*>(data), &parts);
        row_.push_back(FieldValue::Date(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday));
        break;
      case SQL_TYPE_TIME:
        isc_decode_sql_time(reinterpret_cast<const ISC_TIME*>(data), &parts);
        row_.push_back(FieldValue::Time(parts.tm_hour, parts.tm_min, parts.tm_sec));
        break;
      case SQL_TIMESTAMP:
        isc_decode_timestamp(reinterpret_cast<const ISC_TIMESTAMP*>(data), &parts);
        row_.push_back(FieldValue::Timestamp(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                                             parts.tm_hour, parts.tm_min, parts.tm_sec));
        break;
      case SQL_BOOLEAN:
        row_.push_back(FieldValue::Boolean(*data != 0));
        break;
      case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof id);
        unread_blobs_[i] = id;
        row_.push_back(FieldValue::Null());
        break;
      }
      default:
        throw DatabaseError("Column " + Utf16ToUtf8(columns_[i].name) +
                            " has a type this program cannot read [" + StatementContext(SQL) + "]");
    }
  }
  if (TraceOn()) TraceRow();
}

void IBQuery::TraceRow() const {
  std::vector<std::u16string> names;
  std::vector<bool> unread;
  for (size_t i = 0; i < columns_.size(); ++i) {
    names.push_back(columns_[i].name);
    unread.push_back(unread_blobs_[i].has_value());
  }
  Trace("row " + std::to_string(record_count_), RowText(names, row_, unread));
}

const FieldValue& IBQuery::FieldByName(const std::u16string& name) const {
  static const FieldValue kNoRow = FieldValue::Null();
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (!SameTextIgnoringCase(columns_[i].name, name)) continue;
    if (i >= row_.size()) return kNoRow;
    if (unread_blobs_[i]) {
      row_[i] =
          FieldValue::Text(Cp1252ToUtf16(ReadBlob(database_, transaction_, *unread_blobs_[i])));
      unread_blobs_[i].reset();
    }
    return row_[i];
  }
  throw DatabaseError("Field '" + Utf16ToUtf8(name) + "' not found [" + StatementContext(SQL) +
                      "]");
}

std::u16string IBQuery::Text(const std::u16string& column) const {
  return FieldByName(column).AsString();
}

int32_t IBQuery::Integer(const std::u16string& column) const {
  return FieldByName(column).AsInteger();
}

void IBQuery::ExecSQL() {
  const TraceStopwatch watch;
  Prepare();
  const std::vector<std::u16string>& values = SQL.ParameterValues();
  std::vector<char> input = NewSqlda(static_cast<int>(std::max<size_t>(values.size(), 1)));
  std::vector<std::string> buffers(values.size());
  std::vector<ISC_QUAD> blob_ids(values.size());
  std::vector<short> not_null(values.size(), 0);
  Status status;
  if (!values.empty()) {
    isc_dsql_describe_bind(status, statement_.get(), kDialect, Sqlda(input));
    RaiseIfFailed(status, SQL);
    if (Sqlda(input)->sqld != static_cast<int>(values.size())) {
      throw DatabaseError("Statement parameters do not match their values [" +
                          StatementContext(SQL) + "]");
    }
    for (size_t i = 0; i < values.size(); ++i) {
      XSQLVAR& var = Sqlda(input)->sqlvar[i];
      if ((var.sqltype & ~1) == SQL_BLOB) {
        blob_ids[i] = WriteBlob(database_, transaction_, values[i]);
        var.sqldata = reinterpret_cast<char*>(&blob_ids[i]);
      } else {
        buffers[i] = Utf16ToCp1252(values[i]);
        if (buffers[i].size() > 32767) {
          throw DatabaseError("A text of " + std::to_string(buffers[i].size()) +
                              " bytes does not fit a text column [" + StatementContext(SQL) + "]");
        }
        var.sqltype = SQL_TEXT + 1;
        var.sqllen = static_cast<ISC_SHORT>(buffers[i].size());
        var.sqldata = buffers[i].data();
      }
      var.sqlind = &not_null[i];
    }
  }
  isc_dsql_execute(status, transaction_.Handle(), statement_.get(), kDialect,
                   values.empty() ? nullptr : Sqlda(input));
  RaiseIfFailed(status, SQL);
  if (TraceOn()) {
    Trace("sql executed in " + watch.Elapsed() +
          ", rows changed: " + std::to_string(RowsChanged(statement_.get())));
  }
  Close();
}

}  // namespace vorlabws
