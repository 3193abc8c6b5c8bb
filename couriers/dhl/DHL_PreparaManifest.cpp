#include "jobs/Funzioni.h"

namespace vorlabws {

// Not built yet: the routine raises a failure so the job ends on the failure line, with ESITO
// untouched, instead of reporting an outcome it did not reach.
void TFunzioniForm::DHL_PreparaManifest(std::u16string& Result) {
  throw Failure("DHL_PreparaManifest is not available in this build");
}

}  // namespace vorlabws
