// A connection that records every attach and creation the locator tries, in order, as
// "attach <name> -> ok" or "create <name> -> failed". Without an answer it is the real Firebird
// client. With one it stands in for the servers, for routes that name computers that do not
// exist here: the answer says which names attach and which can be created.
#pragma once

#include <functional>
#include <string>

#include "db/firebird.h"

namespace vorlabws::testing {

class RecordingDatabase : public IBDatabase {
 public:
  enum class Operation { kAttach, kCreate };
  using Record = std::function<void(const std::string& line)>;
  using Answer = std::function<bool(Operation operation, const std::string& name)>;

  explicit RecordingDatabase(Record record, Answer answer = nullptr)
      : record_(std::move(record)), answer_(std::move(answer)) {}

  void Open() override {
    Try(Operation::kAttach, [this] { IBDatabase::Open(); });
  }
  void CreateDatabase() override {
    Try(Operation::kCreate, [this] { IBDatabase::CreateDatabase(); });
  }

 private:
  void Try(Operation operation, const std::function<void()>& real);

  Record record_;
  Answer answer_;
};

}  // namespace vorlabws::testing
