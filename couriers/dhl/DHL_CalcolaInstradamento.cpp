#include "couriers/dhl/dhl_header_update.h"
#include "couriers/dhl/dhl_job.h"
#include "couriers/dhl/dhl_label.h"
#include "couriers/dhl/dhl_relay.h"
#include "couriers/dhl/dhl_reply.h"
#include "couriers/dhl/dhl_request.h"
#include "jobs/Funzioni.h"
#include "jobs/outcomes.h"
#include "jobs/template_text.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/program_folder.h"

namespace vorlabws {
void TFunzioniForm::DHL_CalcolaInstradamento(std::u16string& Result) {
  Result = kCompletato;
  const std::u16string FilePath = ProgramFolder();
  const DhlJobFiles files(FilePath, Testata, Riga);

  // The request, and its exchange with the service through the relay.
  const std::u16string Request = FillRequest(ReadTemplateText(files.request_template), IBQuery1);
  WriteFileBytes(files.request, Utf16ToUtf8(Request));
  // A reply left by an earlier run of this job must never pass for this run's reply.
  RemoveFileIfExists(files.reply);
  const RelayRunResult relay = RunRelay(files, RelayWaitBound());
  if (relay.run != RelayRun::kEnded) {
    Result = kErroreWebserviceDhl;
    return;
  }

  // The reply: service errors end the job; otherwise the routing values go into the header.
  XMLDocument1 = LoadRelayReply(files.reply, relay.standard_error);
  const DhlReply reply = ReadReply(XMLDocument1, files.reply);
  if (reply.error_outcome) {
    Result = *reply.error_outcome;
    return;
  }
  LoadHeaderUpdate(IBQuery1, reply.routing, Testata);
  if (!ExecuteJobUpdate(IBQuery1, IBTransaction1, files.errore)) {
    Result = kErroreAggiornamentoTestata;
    return;
  }

  // The label, built from the job as the header update left it, and the row's three texts.
  const std::u16string label_template = ReadTemplateText(files.label_template);
  PopolaEtichetta(false);
  const DhlLabels labels{reply.Report_Etichetta, reply.Report_Archivio,
                         FillLabel(label_template, IBQuery1)};
  LoadRowUpdate(IBQuery1, labels, Testata, Riga);
  if (!ExecuteJobUpdate(IBQuery1, IBTransaction1, files.errore)) Result = kErroreAggiornamentoRiga;
}

}  // namespace vorlabws
