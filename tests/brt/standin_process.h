// The stand-in BRT service (tools/brt-standin) run as a child process on a free loopback port for
// one test, and stopped when the object goes.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace vorlabws::testing {

class StandInService {
 public:
  // `options` follow the port on the stand-in's command line ("--misbehave", "hang", ...).
  explicit StandInService(const std::vector<std::string>& options = {});

  int port() const { return port_; }
  std::u16string Url() const;      // the SOAP endpoint
  std::u16string WsdlUrl() const;  // its service description
  // What the stand-in counted so far: "connections N\nrequests M\n".
  std::string Traffic() const;

 private:
  ChildProcess process_;
  int port_ = 0;
};

}  // namespace vorlabws::testing
