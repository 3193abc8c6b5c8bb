// The service description (WSDL 1.1) as far as the proxy uses it: the SOAP address of one port of
// one service, and for each operation of that port's binding its SOAP action and the namespace of
// its input body, where given.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http.h"

namespace vorlabws {

struct OperationBinding {
  std::optional<std::u16string> soap_action;     // nullopt: absent or empty in the binding
  std::optional<std::u16string> body_namespace;  // nullopt: absent or empty in the binding
};

struct ServiceDescription {
  std::u16string endpoint;
  std::map<std::u16string, OperationBinding, std::less<>> operations;
};

// Reads the description at `location`: by GET through `client` for an "http://" or "https://" URL
// (any case), from a file otherwise. Raises ServiceLocationFailure naming service, port and
// location when it cannot be read or lacks the service, the port or the port's SOAP address.
ServiceDescription ReadServiceDescription(const std::u16string& location,
                                          std::u16string_view service, std::u16string_view port,
                                          HttpClient& client);

}  // namespace vorlabws
