// Checks a SOAP request against the contract, element by element, and takes out what the answers
// need. Any departure (HTTP headers, envelope, element names and namespaces, parameter and member
// order, values) raises RequestRejected with the reason, which the stand-in answers with a fault.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "tools/brt-standin/contract_types.h"
#include "tools/brt-standin/standin_options.h"

namespace vorlabws::standin {

class RequestRejected : public Failure {
 public:
  using Failure::Failure;
};

// Member name to text, as received; a member marked nil is absent.
using ReceivedRecord = std::map<std::u16string, std::u16string, std::less<>>;

struct ReceivedCall {
  const OperationType* operation = nullptr;
  std::map<std::u16string, std::u16string, std::less<>> scalars;
  std::map<std::u16string, ReceivedRecord, std::less<>> records;
  std::map<std::u16string, std::vector<ReceivedRecord>, std::less<>> lists;
};

ReceivedCall CheckRequest(const Options& options, const std::string& content_type,
                          const std::string& soap_action, const std::string& body);

}  // namespace vorlabws::standin
