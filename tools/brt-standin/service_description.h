// The stand-in's service description (WSDL 1.1), written from the contract: the record and label
// types, the four operations, the document/literal binding with its SOAP actions, and the service
// "EasySpedWSServiceImpl" with its port "easyspedde_endpoint" at this stand-in's own address.
// A test service and a test port stand before the real ones, with addresses that answer 404, so a
// client that takes the wrong service or port fails.
#pragma once

#include <string>

#include "tools/brt-standin/standin_options.h"

namespace vorlabws::standin {

inline constexpr char kEndpointPath[] = "/easyspeddews";

// UTF-8 bytes.
std::string WriteServiceDescription(const Options& options);

}  // namespace vorlabws::standin
