#include "couriers/dhl/dhl_relay.h"

#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/process.h"

namespace vorlabws {
namespace {

constexpr std::chrono::seconds kDefaultWaitBound{180};
// How long a relay past the bound gets to end on its own before it is killed.
constexpr std::chrono::seconds kTerminateGrace{5};

}  // namespace

std::u16string DhlServiceAddress() {
  if (const auto address = EnvironmentValue(kDhlUrlVariable)) return *address;
  return u"https://" + Utf8ToUtf16(VORLABWS_DHL_HOST) + u":443/sndpt/DocumentRendering";
}

std::chrono::seconds RelayWaitBound() {
  return EnvironmentSeconds(kRelayTimeoutVariable).value_or(kDefaultWaitBound);
}

RelayRun RunRelay(const DhlJobFiles& files, std::chrono::seconds bound) {
  std::optional<ChildProcess> relay;
  try {
    relay.emplace(files.relay, std::vector<std::u16string>{DhlServiceAddress(), files.data_folder,
                                                           files.request_name});
  } catch (const ProcessError&) {
    return RelayRun::kNotStarted;
  }
  if (relay->WaitFor(bound)) return RelayRun::kEnded;
  relay->Terminate(kTerminateGrace);
  return RelayRun::kTimedOut;
}

}  // namespace vorlabws
