#include "couriers/dhl/dhl_relay.h"

#include <algorithm>

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
  if (const auto address = EnvironmentValue("VORLABWS_DHL_URL")) return *address;
  return u"https://" + Utf8ToUtf16(VORLABWS_DHL_HOST) + u":443/sndpt/DocumentRendering";
}

std::chrono::seconds RelayWaitBound() {
  const auto text = EnvironmentValue("VORLABWS_DHL_RELAY_TIMEOUT");
  if (!text) return kDefaultWaitBound;
  const std::string digits = Utf16ToUtf8(*text);
  const bool valid =
      !digits.empty() && digits.size() <= 6 &&
      std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
  const long seconds = valid ? std::stol(digits) : 0;
  if (seconds == 0) {
    throw Failure("VORLABWS_DHL_RELAY_TIMEOUT '" + digits + "' is not a number of seconds");
  }
  return std::chrono::seconds(seconds);
}

RelayRun RunRelay(const std::u16string& FilePath, const DhlJobFiles& files,
                  std::chrono::seconds bound) {
  std::optional<ChildProcess> relay;
  try {
    relay.emplace(
        FilePath + u"Relayer.exe",
        std::vector<std::u16string>{DhlServiceAddress(), files.data_folder, files.request_name});
  } catch (const ProcessError&) {
    return RelayRun::kNotStarted;
  }
  if (relay->WaitFor(bound)) return RelayRun::kEnded;
  relay->Terminate(kTerminateGrace);
  return RelayRun::kTimedOut;
}

}  // namespace vorlabws
