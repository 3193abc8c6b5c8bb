#include "tests/db/recording_database.h"

#include "platform/code_page.h"

namespace vorlabws::testing {

void RecordingDatabase::Try(Operation operation, const std::function<void()>& real) {
  const std::string name = Utf16ToUtf8(DatabaseName);
  const std::string line = (operation == Operation::kAttach ? "attach " : "create ") + name;
  try {
    if (!answer_) {
      real();
    } else if (!answer_(operation, name)) {
      throw DatabaseError("no such database: " + name);
    }
  } catch (const Failure&) {
    record_(line + " -> failed");
    throw;
  }
  record_(line + " -> ok");
}

}  // namespace vorlabws::testing
