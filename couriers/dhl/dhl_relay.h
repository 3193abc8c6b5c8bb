// The run of the relay that exchanges a DHL request with the courier's service: the service
// address (compiled default, VORLABWS_DHL_URL overrides it), the relay's three exact arguments,
// and a bounded wait that sleeps until the relay ends. The run owns the relay process throughout.
#pragma once

#include <chrono>
#include <string>

#include "couriers/dhl/dhl_job.h"

namespace vorlabws {

inline constexpr const char* kDhlUrlVariable = "VORLABWS_DHL_URL";
inline constexpr const char* kRelayTimeoutVariable = "VORLABWS_DHL_RELAY_TIMEOUT";

// "https://" + the service host + ":443/sndpt/DocumentRendering", or VORLABWS_DHL_URL when set.
std::u16string DhlServiceAddress();

// 180 seconds, or VORLABWS_DHL_RELAY_TIMEOUT (whole seconds) when set; raises when that is not
// a positive number.
std::chrono::seconds RelayWaitBound();

enum class RelayRun {
  kEnded,       // the relay ended by itself, whatever its exit status
  kNotStarted,  // the relay executable could not be started
  kTimedOut,    // still running at the bound: it was ended
};

// Starts the job's relay with the service address, the data folder and the request file's name,
// and waits for it to end, at most `bound`.
RelayRun RunRelay(const DhlJobFiles& files, std::chrono::seconds bound);

}  // namespace vorlabws
