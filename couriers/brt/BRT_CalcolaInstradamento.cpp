#include "jobs/Funzioni.h"

namespace vorlabws {

// Not built yet: the routine raises a failure so the job ends on the failure line, with ESITO
// untouched, instead of reporting an outcome it did not reach.
void TFunzioniForm::BRT_CalcolaInstradamento(std::u16string& Result) {
  throw Failure("BRT_CalcolaInstradamento is not available in this build");
}

}  // namespace vorlabws
