#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/brt/wsdl.h"
#include "couriers/dhl/dhl_relay.h"
#include "jobs/outcomes.h"
#include "platform/code_page.h"
#include "tools/vorlabws-check/site_checks.h"

namespace vorlabws::check {
namespace {

Finding Unreachable(const std::u16string& subject, const Failure& failure,
                    const std::u16string& mend) {
  return {Verdict::kFail, subject, Utf8ToUtf16(failure.what()) + u". " + mend};
}

void CheckBrt(Findings& findings, const HttpTimeouts& timeouts) {
  const std::u16string location = EasySpedWsdlLocation();
  HttpClient client(timeouts);
  ServiceDescription description;
  try {
    description =
        ReadServiceDescription(location, easysped::kServiceName, easysped::kPortName, client);
  } catch (const Failure& failure) {
    findings.push_back(Unreachable(u"BRT service description " + location, failure,
                                   u"Every BRT job ends with \"" +
                                       std::u16string(kErroreComunicazioneBrt) +
                                       u"\"; set VORLABWS_BRT_WSDL to the service's WSDL."));
    return;
  }
  findings.push_back({Verdict::kOk,
                      u"BRT service description " + location + u": service " +
                          std::u16string(easysped::kServiceName) + u", port " +
                          std::u16string(easysped::kPortName) + u", endpoint " +
                          description.endpoint,
                      u""});
  try {
    ProbeConnection(description.endpoint, timeouts);
    findings.push_back({Verdict::kOk, u"BRT endpoint " + description.endpoint + u": answers", u""});
  } catch (const Failure& failure) {
    findings.push_back(Unreachable(u"BRT endpoint " + description.endpoint, failure,
                                   u"The routing requests go there: check the network and the "
                                   u"address the service description gives."));
  }
}

void CheckDhl(Findings& findings) {
  const std::u16string address = DhlServiceAddress();
  try {
    ProbeConnection(address);
    findings.push_back({Verdict::kOk, u"DHL service " + address + u": answers", u""});
  } catch (const Failure& failure) {
    findings.push_back(Unreachable(u"DHL service " + address, failure,
                                   u"The relay needs it: check outbound HTTPS, the proxy settings "
                                   u"and the system's CA certificates (ca-certificates)."));
  }
}

}  // namespace

Findings CheckCouriersOnline() {
  Findings findings;
  HttpTimeouts timeouts;
  try {
    timeouts = EasySpedTimeouts();
  } catch (const Failure&) {
    // Said among the environment's findings; the check goes on with the client's own limits.
  }
  CheckBrt(findings, timeouts);
  CheckDhl(findings);
  return findings;
}

}  // namespace vorlabws::check
