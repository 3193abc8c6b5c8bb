#include "couriers/dhl/dhl_relay.h"

#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/failure.h"
#include "platform/process.h"

namespace vorlabws {
namespace {

constexpr std::chrono::seconds kDefaultWaitBound{180};
// How long a relay past the bound gets to end on its own before it is killed.
constexpr std::chrono::seconds kTerminateGrace{5};

// The text's lines, without empty ones, joined by " / ": the failure line is one line.
std::string OneLine(const std::string& text) {
  std::string line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) line += (line.empty() ? "" : " / ") + text.substr(start, end - start);
    start = end + 1;
  }
  return line;
}

}  // namespace

std::u16string DhlServiceAddress() {
  if (const auto address = EnvironmentValue(kDhlUrlVariable)) return *address;
  return u"https://" + Utf8ToUtf16(VORLABWS_DHL_HOST) + u":443/sndpt/DocumentRendering";
}

std::chrono::seconds RelayWaitBound() {
  return EnvironmentSeconds(kRelayTimeoutVariable).value_or(kDefaultWaitBound);
}

RelayRunResult RunRelay(const DhlJobFiles& files, std::chrono::seconds bound) {
  StartOptions options;
  options.capture_standard_error = true;
  options.traced_files = {files.request, files.reply};
  std::optional<ChildProcess> relay;
  try {
    relay.emplace(files.relay,
                  std::vector<std::u16string>{DhlServiceAddress(), files.data_folder,
                                              files.request_name},
                  options);
  } catch (const ProcessError&) {
    return {RelayRun::kNotStarted, ""};
  }
  if (relay->WaitFor(bound)) return {RelayRun::kEnded, relay->StandardError()};
  relay->Terminate(kTerminateGrace);
  return {RelayRun::kTimedOut, relay->StandardError()};
}

XmlDocument LoadRelayReply(const std::u16string& reply, const std::string& relay_said) {
  try {
    return XmlDocument::Load(reply);
  } catch (const FileError& failure) {
    const std::string said = OneLine(relay_said);
    if (said.empty()) throw;
    throw FileError(std::string(failure.what()) + "; the relay said: " + said);
  }
}

}  // namespace vorlabws
