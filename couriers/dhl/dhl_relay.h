// The run of the relay that exchanges a DHL request with the courier's service: the service
// address (compiled default, VORLABWS_DHL_URL overrides it), the relay's three exact arguments,
// a bounded wait that sleeps until the relay ends, what the relay said on standard error, and the
// reply it left. The run owns the relay process throughout.
#pragma once

#include <chrono>
#include <string>

#include "couriers/dhl/dhl_job.h"
#include "platform/xml.h"

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

struct RelayRunResult {
  RelayRun run;
  // The bytes the relay wrote to standard error (bounded), its reason when it left no reply.
  std::string standard_error;
};

// Starts the job's relay with the service address, the data folder and the request file's name,
// and waits for it to end, at most `bound`. Its standard input and output are the worker's.
RelayRunResult RunRelay(const DhlJobFiles& files, std::chrono::seconds bound);

// The reply file the relay left. When it cannot be read, the FileError names the file and, when
// the relay said anything on standard error, what it said, on one line.
XmlDocument LoadRelayReply(const std::u16string& reply, const std::string& relay_said);

}  // namespace vorlabws
