// The failures of a call to the BRT service. Each is raised to the caller; the proxy keeps no error
// state and makes no retries.
#pragma once

#include <string>

#include "platform/failure.h"

namespace vorlabws {

// The service could not be reached, the exchange broke, or HTTP said no (status, content type).
class TransportFailure : public Failure {
 public:
  using Failure::Failure;
};

// The reply is not a SOAP 1.1 envelope, or lacks what the operation returns.
class InvalidReply : public Failure {
 public:
  using Failure::Failure;
};

// The service answered with a SOAP fault; the message is its fault string.
class SoapFault : public Failure {
 public:
  SoapFault(const std::u16string& faultstring, std::u16string faultcode, std::u16string faultactor,
            std::u16string detail);

  const std::u16string& FaultCode() const { return faultcode_; }
  const std::u16string& FaultActor() const { return faultactor_; }
  // The detail element written as XML, empty when the fault has none.
  const std::u16string& Detail() const { return detail_; }

 private:
  std::u16string faultcode_;
  std::u16string faultactor_;
  std::u16string detail_;
};

// The service description cannot be read, or lacks the service, port or address the proxy needs;
// also the proxy made with neither a WSDL location nor a URL.
class ServiceLocationFailure : public Failure {
 public:
  using Failure::Failure;
};

}  // namespace vorlabws
