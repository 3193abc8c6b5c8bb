// The request envelope of one call: SOAP 1.1, document/literal, wrapped. What the service reads is
// fixed (element names and namespaces, member order, nil marks); the prefixes are this writer's.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "couriers/brt/soap_record.h"

namespace vorlabws {

// A list parameter: one element named `item_name` per record, in the record's namespace.
struct SoapRecordList {
  std::u16string_view item_name;
  std::vector<const SoapRecord*> items;
};

// One parameter element: a scalar as its text, a record, or a list of records (borrowed).
struct SoapParameter {
  using Value = std::variant<std::u16string, const SoapRecord*, SoapRecordList>;
  std::u16string_view name;
  Value value;
};

struct SoapCall {
  std::u16string_view operation;
  std::u16string_view result;
  std::vector<SoapParameter> parameters;
};

// The UTF-8 bytes of the envelope. The operation element and its parameter elements are in
// `namespace_uri`; record members in their record's namespace.
std::string WriteRequestEnvelope(const SoapCall& call, std::u16string_view namespace_uri);

}  // namespace vorlabws
