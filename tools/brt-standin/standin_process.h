// The stand-in BRT service run as a child process on a free loopback port, for tests and
// measurements; the process is stopped when the object goes.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace vorlabws::standin {

class StandInService {
 public:
  // `options` follow the port on the stand-in's command line ("--misbehave", "hang", ...).
  explicit StandInService(const std::vector<std::string>& options = {});

  int port() const { return port_; }
  std::u16string Url() const;      // the SOAP endpoint
  std::u16string WsdlUrl() const;  // its service description
  // What the stand-in counted so far: "connections N\nrequests M\n".
  std::string Traffic() const;
  // The body of the `number`-th SOAP request (from 1) as the stand-in received it.
  std::string Received(int number) const;

 private:
  ChildProcess process_;
  int port_ = 0;
};

}  // namespace vorlabws::standin
