// Checks a SOAP request against the contract, element by element, and takes out what the answers
// need. Any departure (HTTP headers, envelope, element names and namespaces, parameter and member
// order, values) raises RequestRejected with the reason, which the stand-in answers with a fault.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/brt-standin/contract_types.h"
#include "tools/brt-standin/standin_options.h"

namespace vorlabws::standin {

class RequestRejected : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
