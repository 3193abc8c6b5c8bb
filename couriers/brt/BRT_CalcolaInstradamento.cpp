#include <exception>
#include <memory>

#include "couriers/brt/brt_job_updates.h"
#include "couriers/brt/brt_routing_request.h"
#include "couriers/brt/brt_template_label.h"
#include "couriers/brt/easyspeddews1.h"
#include "jobs/Funzioni.h"
#include "jobs/job_update.h"
#include "jobs/outcomes.h"
#include "jobs/template_text.h"
#include "platform/program_folder.h"

namespace vorlabws {
namespace {

class NoRoutingReply : public Failure {
 public:
  NoRoutingReply() : Failure("The BRT service answered the routing request without a record") {}
};

}  // namespace

void TFunzioniForm::BRT_CalcolaInstradamento(std::u16string& Result) {
  // An installation's time limit that cannot be read ends the run before anything is sent: it is
  // no failure of the communication.
  const HttpTimeouts timeouts = EasySpedTimeouts();
  // Whatever fails on the way ends the job as a communication error; what was committed stays.
  try {
    const std::shared_ptr<EasySpedDEWS> Service =
        GetEasySpedDEWS(true, u"", std::make_shared<HttpClient>(timeouts));
    const RoutingJob job = ReadRoutingJob(IBQuery1);
    const std::unique_ptr<DestinationAddressOut2> Response = Service->CalculateBRTSort(job.Request);
    if (Response == nullptr) throw NoRoutingReply();

    if (!Response->CodiceErrore().empty()) {
      Result = u"003 - Errore " + Response->CodiceErrore() + u": " + Response->DescrizioneErrore();
    }
    if (Response->POArrivo() == 0) return;

    const std::u16string FilePath = ProgramFolder();
    const std::u16string report = BRT_GetLabelForZebraPrinter(*Service, job.Request, *Response);

    LoadBrtHeaderUpdate(IBQuery1, *Response, Testata);
    const bool testata_aggiornata = ExecuteUpdate(IBQuery1, IBTransaction1);
    if (!testata_aggiornata) Result = kErroreAggiornamentoTestata;

    const std::u16string Report_Custom =
        FillPlaceholders(ReadTemplateText(FilePath + std::u16string(kBrtLabelTemplate)),
                         TemplateLabelPlaceholders(job, *Response));
    LoadBrtRowUpdate(IBQuery1, report, Report_Custom, Testata, Riga);
    if (!ExecuteUpdate(IBQuery1, IBTransaction1)) {
      Result = kErroreAggiornamentoRiga;
    } else if (testata_aggiornata) {
      Result = kCompletato;
    }
  } catch (const std::exception&) {
    Result = kErroreComunicazioneBrt;
  }
}

}  // namespace vorlabws
