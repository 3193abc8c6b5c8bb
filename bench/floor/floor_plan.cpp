#include "bench/floor/floor_plan.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vorlabws::bench {
namespace {

constexpr unsigned short kDialect = 3;
using Status = ISC_STATUS[20];

void Check(const Status& status, const std::string& what) {
  if (status[0] == 1 && status[1] != 0) {
    const ISC_STATUS* cursor = status;
    char message[1024];
    std::string text = what;
    while (fb_interpret(message, sizeof message, &cursor) > 0) text += std::string(": ") + message;
    Fail(text);
  }
}

std::vector<char> NewSqlda(int count) {
  std::vector<char> buffer(XSQLDA_LENGTH(count), 0);
  auto* sqlda = reinterpret_cast<XSQLDA*>(buffer.data());
  sqlda->version = SQLDA_VERSION1;
  sqlda->sqln = static_cast<ISC_SHORT>(count);
  return buffer;
}

void AppendDpbText(std::string& dpb, char item, const std::string& value) {
  dpb.push_back(item);
  dpb.push_back(static_cast<char>(value.size()));
  dpb += value;
}

std::vector<std::string> SplitAtTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

}  // namespace

void Fail(const std::string& what) {
  std::fprintf(stderr, "floor: %s\n", what.c_str());
  std::fflush(stderr);
  ::_exit(1);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<PlanStep> ReadPlan(const char* path) {
  std::istringstream plan(ReadWholeFile(path));
  std::vector<PlanStep> steps;
  for (std::string line; std::getline(plan, line);) {
    std::vector<std::string> fields = SplitAtTabs(line);
    if (fields.empty()) continue;
    PlanStep step{fields[0], {fields.begin() + 1, fields.end()}};
    for (std::string& field : step.fields) {
      if (field.starts_with('@')) field = ReadWholeFile(field.substr(1));
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

void RunPlan(const char* path, const std::function<bool(const PlanStep&)>& other) {
  const std::vector<PlanStep> steps = ReadPlan(path);
  FloorDatabase database;
  for (const PlanStep& step : steps) {
    if (!database.Run(step) && !other(step)) Fail("unknown step " + step.kind);
  }
  database.End();
  std::fflush(stdout);
  ::_exit(0);
}

bool FloorDatabase::Run(const PlanStep& step) {
  if (step.kind == "attach" && step.fields.size() == 1) {
    Attach(step.fields[0]);
  } else if (step.kind == "select" && step.fields.size() == 1) {
    Select(step.fields[0]);
  } else if (step.kind == "update" && !step.fields.empty()) {
    Update(step.fields[0], {step.fields.begin() + 1, step.fields.end()});
  } else {
    return false;
  }
  return true;
}

void FloorDatabase::Attach(const std::string& connection) {
  std::string dpb(1, isc_dpb_version1);
  AppendDpbText(dpb, isc_dpb_user_name, "SYSDBA");
  AppendDpbText(dpb, isc_dpb_password, "ambertide");
  AppendDpbText(dpb, isc_dpb_lc_ctype, "WIN1252");
  Status status;
  isc_attach_database(status, 0, connection.c_str(), &database_, static_cast<short>(dpb.size()),
                      dpb.data());
  Check(status, "attaching " + connection);
  isc_start_transaction(status, &transaction_, 1, &database_, 0, nullptr);
  Check(status, "starting the transaction");
}

// Prepares, runs and fetches every row into buffers described by the server; blobs stay unread.
void FloorDatabase::Select(const std::string& statement) {
  Status status;
  isc_stmt_handle handle = 0;
  isc_dsql_allocate_statement(status, &database_, &handle);
  Check(status, "allocating a statement");
  std::vector<char> output = NewSqlda(1);
  auto sqlda = [&output] { return reinterpret_cast<XSQLDA*>(output.data()); };
  isc_dsql_prepare(status, &transaction_, &handle, 0, statement.c_str(), kDialect, sqlda());
  Check(status, "preparing " + statement);
  if (sqlda()->sqld > sqlda()->sqln) {
    output = NewSqlda(sqlda()->sqld);
    isc_dsql_describe(status, &handle, kDialect, sqlda());
    Check(status, "describing " + statement);
  }
  std::vector<std::vector<char>> columns(sqlda()->sqld);
  std::vector<short> nulls(sqlda()->sqld);
  for (int i = 0; i < sqlda()->sqld; ++i) {
    XSQLVAR& var = sqlda()->sqlvar[i];
    columns[i].resize(var.sqllen + 2);
    var.sqldata = columns[i].data();
    var.sqlind = &nulls[i];
  }
  isc_dsql_execute(status, &transaction_, &handle, kDialect, nullptr);
  Check(status, "running " + statement);
  while (isc_dsql_fetch(status, &handle, kDialect, sqlda()) == 0) {
  }
  Check(status, "fetching " + statement);
  isc_dsql_free_statement(status, &handle, DSQL_drop);
  Check(status, "freeing a statement");
}

// Runs the statement with its blobs as parameters, then commits with the transaction kept.
void FloorDatabase::Update(const std::string& statement, const std::vector<std::string>& blobs) {
  std::vector<char> input = NewSqlda(std::max<int>(blobs.size(), 1));
  auto* sqlda = reinterpret_cast<XSQLDA*>(input.data());
  sqlda->sqld = static_cast<ISC_SHORT>(blobs.size());
  std::vector<ISC_QUAD> ids(blobs.size());
  std::vector<short> not_null(blobs.size(), 0);
  for (size_t i = 0; i < blobs.size(); ++i) {
    ids[i] = WriteBlob(blobs[i]);
    XSQLVAR& var = sqlda->sqlvar[i];
    var.sqltype = SQL_BLOB + 1;
    var.sqlsubtype = isc_blob_text;
    var.sqllen = sizeof(ISC_QUAD);
    var.sqldata = reinterpret_cast<char*>(&ids[i]);
    var.sqlind = &not_null[i];
  }
  Status status;
  isc_dsql_execute_immediate(status, &database_, &transaction_, 0, statement.c_str(), kDialect,
                             blobs.empty() ? nullptr : sqlda);
  Check(status, "running " + statement.substr(0, 200));
  isc_commit_retaining(status, &transaction_);
  Check(status, "commit");
}

ISC_QUAD FloorDatabase::WriteBlob(const std::string& bytes) {
  Status status;
  isc_blob_handle blob = 0;
  ISC_QUAD id{};
  isc_create_blob2(status, &database_, &transaction_, &blob, &id, 0, nullptr);
  Check(status, "creating a blob");
  constexpr size_t kSegment = 32768;
  for (size_t done = 0; done < bytes.size(); done += kSegment) {
    const size_t length = std::min(kSegment, bytes.size() - done);
    isc_put_segment(status, &blob, static_cast<unsigned short>(length), bytes.data() + done);
    Check(status, "writing a blob");
  }
  isc_close_blob(status, &blob);
  Check(status, "closing a blob");
  return id;
}

void FloorDatabase::End() {
  Status status;
  isc_rollback_transaction(status, &transaction_);
  Check(status, "ending the transaction");
  isc_detach_database(status, &database_);
  Check(status, "detaching");
}

}  // namespace vorlabws::bench
