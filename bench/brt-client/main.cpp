// Measures what one BRT label job spends on the service: a new proxy reading the service
// description, then the routing call and the label call, against the stand-in on loopback.
//
//   bench_brt_client [RUNS]   (default 51)
//
// Prints the median, the fastest and the slowest run in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "couriers/brt/easyspeddews1.h"
#include "tools/brt-standin/standin_process.h"

namespace {

using namespace vorlabws;

std::unique_ptr<DestinationAddress2> Request() {
  auto request = std::make_unique<DestinationAddress2>();
  request->SetAnnoSpedizione(2024);
  request->SetDestinatarioCap(u"20121");
  request->SetDestinatarioRagioneSociale(u"Rossi & Figli");
  request->SetPOPartenza(170);
  request->SetNumeroSegnaCollo(1234567);
  request->SetPeso(std::make_shared<XsdDecimal>(u"12.3"));
  return request;
}

ArrayOfLabelToPrint Labels(const DestinationAddress2& request,
                           const DestinationAddressOut2& reply) {
  auto label = std::make_unique<LabelToPrint2>();
  label->SetAnnoSpedizione(request.AnnoSpedizione());
  label->SetDestinatarioCap(request.DestinatarioCap());
  label->SetDestinatarioRagioneSociale(request.DestinatarioRagioneSociale());
  label->SetNumeroSegnaCollo(request.NumeroSegnaCollo());
  label->SetPeso(request.Peso());
  label->SetPOArrivo(reply.POArrivo());
  label->SetZonaSegnaCollo(reply.ZonaSegnaCollo());
  label->SetTipoEtichetta(LabelToPrint_tipiEtichetta::_1);
  ArrayOfLabelToPrint labels;
  labels.push_back(std::move(label));
  return labels;
}

double OneJobMilliseconds(const std::u16string& wsdl) {
  const auto start = std::chrono::steady_clock::now();
  const std::shared_ptr<EasySpedDEWS> service = GetEasySpedDEWS(true, wsdl);
  const auto request = Request();
  const std::unique_ptr<DestinationAddressOut2> reply = service->CalculateBRTSort(*request);
  if (reply == nullptr || reply->POArrivo() != 100) throw Failure("unexpected routing reply");
  if (service->GetLabelForZebraPrinter(Labels(*request, *reply), 110, 0).empty()) {
    throw Failure("empty label");
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::stoi(argv[1])) : 51;
  const standin::StandInService standin;
  std::vector<double> times;
  OneJobMilliseconds(standin.WsdlUrl());  // warm-up: first connection, first parses
  for (int i = 0; i < runs; ++i) times.push_back(OneJobMilliseconds(standin.WsdlUrl()));
  std::sort(times.begin(), times.end());
  std::printf(
      "WSDL read + CalculateBRTSort + GetLabelForZebraPrinter, %d runs: median %.2f ms "
      "(fastest %.2f ms, slowest %.2f ms)\n",
      runs, times[times.size() / 2], times.front(), times.back());
  return 0;
}
