#include "jobs/job_update.h"

namespace vorlabws {

bool ExecuteUpdate(IBQuery& query, IBTransaction& transaction, std::string* failure_message) {
  try {
    query.ExecSQL();
    transaction.CommitRetaining();
    return true;
  } catch (const Failure& failure) {
    if (failure_message != nullptr) *failure_message = failure.what();
    try {
      transaction.RollbackRetaining();
    } catch (const Failure&) {
      // The outcome reports the update that failed; a failed rollback adds nothing to it.
    }
    return false;
  }
}

}  // namespace vorlabws
