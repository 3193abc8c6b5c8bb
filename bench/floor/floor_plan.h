// A job's work as a plan of steps, one a line, fields separated by tabs, for the floor programs:
// "attach CONNECTION", "select STATEMENT", "update STATEMENT [BLOB...]" and the courier's own
// steps. A field "@PATH" stands for the bytes of that file, read before the job starts; statements
// are the bytes that go to the server, with "?" for each blob parameter. FloorDatabase runs the
// database steps on the raw client API, as the worker does them.
#pragma once

#include <ibase.h>

#include <functional>
#include <string>
#include <vector>

namespace vorlabws::bench {

struct PlanStep {
  std::string kind;
  std::vector<std::string> fields;
};

// The plan's steps with every "@PATH" field replaced by the file's bytes.
std::vector<PlanStep> ReadPlan(const char* path);

// Prints the failure on standard error and ends the program with 1.
[[noreturn]] void Fail(const std::string& what);

// One attachment with the worker's attach lines and its one transaction: the server's default
// mode, every UPDATE committed with the transaction kept.
class FloorDatabase {
 public:
  // Runs `step` when it is a database step; false when it is not one.
  bool Run(const PlanStep& step);
  // Rolls the transaction back and detaches, as the worker's job context does when it goes.
  void End();

 private:
  void Attach(const std::string& connection);
  void Select(const std::string& statement);
  void Update(const std::string& statement, const std::vector<std::string>& blobs);
  ISC_QUAD WriteBlob(const std::string& bytes);

  isc_db_handle database_ = 0;
  isc_tr_handle transaction_ = 0;
};

// Runs the plan: database steps here, the others through `other` (false for a step it does not
// know); then ends the process at once, without the client library's teardown.
[[noreturn]] void RunPlan(const char* path, const std::function<bool(const PlanStep&)>& other);

}  // namespace vorlabws::bench
