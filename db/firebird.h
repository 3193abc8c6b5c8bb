// The job database through the Firebird client library: one attachment (IBDatabase), its one
// transaction (IBTransaction) and queries on them (IBQuery). Each object owns its client handle;
// every client error becomes a DatabaseError whose message carries the statement it concerned.
#pragma once

#include <ibase.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/column_reader.h"
#include "db/field_value.h"
#include "platform/failure.h"

namespace vorlabws {

class DatabaseError : public Failure {
 public:
  using Failure::Failure;
};

struct AttachmentDeleter {
  void operator()(isc_db_handle* handle) const;
};
struct TransactionDeleter {
  void operator()(isc_tr_handle* handle) const;
};
struct StatementDeleter {
  void operator()(isc_stmt_handle* handle) const;
};
using AttachmentHandle = std::unique_ptr<isc_db_handle, AttachmentDeleter>;
using TransactionHandle = std::unique_ptr<isc_tr_handle, TransactionDeleter>;
using StatementHandle = std::unique_ptr<isc_stmt_handle, StatementDeleter>;

// The connection. The locator sets its name and parameter lines, then opens or creates it; the
// attach always talks WIN1252, the code page of the host that writes the job tables.
class IBDatabase {
 public:
  IBDatabase() = default;
  IBDatabase(const IBDatabase&) = delete;
  IBDatabase& operator=(const IBDatabase&) = delete;
  virtual ~IBDatabase() = default;

  std::u16string DatabaseName;
  // "user_name=..." and "password=..." for an attach; the creation lines for CreateDatabase.
  std::vector<std::u16string> Params;
  bool LoginPrompt = false;  // no login dialog exists here; kept for the locator's settings
  int SQLDialect = 3;

  // Attaches to DatabaseName with the user and password of Params.
  virtual void Open();
  // "CREATE DATABASE '<DatabaseName>' " + each line of Params followed by CR LF; stays attached.
  virtual void CreateDatabase();
  // Ends the attachment; nothing happens when not attached.
  virtual void Close();
  virtual bool Connected() const { return handle_ != nullptr; }

  isc_db_handle* Handle();

 private:
  AttachmentHandle handle_;
};

// The job's one transaction: started by the first statement with the server's default mode,
// kept open by every commit and rollback, rolled back when it goes.
class IBTransaction {
 public:
  explicit IBTransaction(IBDatabase& database) : database_(database) {}

  bool InTransaction() const { return handle_ != nullptr; }
  void StartTransaction();
  void CommitRetaining();
  void RollbackRetaining();
  // Ends the transaction without keeping it (before the attachment goes).
  void Rollback();

  isc_tr_handle* Handle();

 private:
  IBDatabase& database_;
  TransactionHandle handle_;
};

// The statement text of a query: lines joined with CR LF. A long text value goes to the server
// as a statement parameter, standing where its quoted literal would stand, so texts past the
// server's literal limit store whole; Text() shows the statement with the literal in its place.
class SqlText {
 public:
  void Clear();
  void Add(std::u16string line);
  // The marker to put into a line in place of "'" + value + "'".
  std::u16string Parameter(std::u16string value);

  // The lines joined with CR LF, every parameter written as its quoted literal.
  std::u16string Text() const;
  const std::vector<std::u16string>& Lines() const { return lines_; }
  // What goes to the server: parameters as "?".
  std::u16string ServerText() const;
  const std::vector<std::u16string>& ParameterValues() const { return values_; }

 private:
  std::vector<std::u16string> lines_;
  std::vector<std::u16string> values_;
};

// A query on the job's connection and transaction. Open runs a SELECT and stands on its first
// row; Next moves on; a row past the last keeps the last row's values readable.
class IBQuery : public ColumnReader {
 public:
  IBQuery(IBDatabase& database, IBTransaction& transaction)
      : database_(database), transaction_(transaction) {}

  SqlText SQL;

  // Attaches first when the connection is not attached, starts the transaction when needed.
  void Open();
  void Close();
  void Next();
  bool Eof() const { return eof_; }
  bool Active() const { return statement_ != nullptr; }
  // The rows fetched so far.
  int RecordCount() const { return record_count_; }
  // The first column of that name (case-insensitive); raises DatabaseError when there is none.
  const FieldValue& FieldByName(const std::u16string& name) const;
  std::u16string Text(const std::u16string& column) const override;
  int32_t Integer(const std::u16string& column) const override;
  // Runs a statement that returns no rows.
  void ExecSQL();

 private:
  // A column's name and the buffer the client fetches its value into.
  struct Column {
    std::u16string name;
    std::vector<char> data;
    short null_indicator = 0;
  };
  void Prepare();
  void Fetch();
  void TraceRow() const;

  IBDatabase& database_;
  IBTransaction& transaction_;
  StatementHandle statement_;
  std::vector<char> output_;  // the XSQLDA the rows are fetched into
  std::vector<Column> columns_;
  // The current row. Its blobs are read when first asked for (hence mutable): a row may carry
  // megabytes of stored labels or manifests that the job never looks at.
  mutable std::vector<FieldValue> row_;
  mutable std::vector<std::optional<ISC_QUAD>> unread_blobs_;
  bool eof_ = true;
  int record_count_ = 0;
};

}  // namespace vorlabws
