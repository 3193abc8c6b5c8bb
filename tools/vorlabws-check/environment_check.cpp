#include "couriers/brt/easyspeddews1.h"
#include "couriers/brt/easyspeddews_contract.h"
#include "couriers/dhl/dhl_relay.h"
#include "platform/code_page.h"
#include "platform/environment.h"
#include "tools/vorlabws-check/site_checks.h"

namespace vorlabws::check {
namespace {

// Each override with the worker's own reader of it, which raises where the worker would refuse.
struct Override {
  const char* variable;
  void (*read)();
};

const Override kOverrides[] = {
    {easysped::kWsdlLocationVariable, [] { EasySpedWsdlLocation(); }},
    {easysped::kTimeoutVariable, [] { EasySpedTimeouts(); }},
    {kDhlUrlVariable, [] { DhlServiceAddress(); }},
    {kRelayTimeoutVariable, [] { RelayWaitBound(); }},
};

}  // namespace

Findings CheckEnvironment() {
  Findings findings;
  for (const Override& entry : kOverrides) {
    const auto value = EnvironmentValue(entry.variable);
    if (!value) continue;
    const std::u16string subject = Utf8ToUtf16(entry.variable) + u"=" + *value;
    try {
      entry.read();
      findings.push_back({Verdict::kOk, subject, u""});
    } catch (const Failure& failure) {
      findings.push_back({Verdict::kFail, subject,
                          Utf8ToUtf16(failure.what()) +
                              u": the worker ends every job on it (exit 2). Unset it or give it "
                              u"whole seconds."});
    }
  }
  if (findings.empty()) {
    findings.push_back(
        {Verdict::kOk, u"environment: no overrides, the built-in defaults hold", u""});
  }
  return findings;
}

}  // namespace vorlabws::check
