// The stand-in's own reading of the service contract: the members of each record type in wire
// order with their schema types, and the parameters of each operation. Written from the contract,
// apart from the client's records, so that the two sides agree only when both follow it.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "couriers/brt/easyspeddews_contract.h"

namespace vorlabws::standin {

enum class XsdType { kString, kShort, kInt, kLong, kBoolean, kDecimal, kDateTime, kLabelType };

struct MemberType {
  std::u16string_view name;
  XsdType type;
};

struct RecordType {
  std::u16string_view name;
  std::u16string_view namespace_uri;
  std::span<const MemberType> members;
};

extern const RecordType kDestinationAddress;
extern const RecordType kDestinationAddressOut;
extern const RecordType kLabelToPrint;

enum class ParameterShape { kScalar, kRecord, kLabelList };

struct ParameterType {
  std::u16string_view name;
  ParameterShape shape;
  XsdType scalar_type;       // kScalar
  const RecordType* record;  // kRecord
};

enum class ResultShape { kRoutingRecord, kText, kBytes };

struct OperationType {
  const easysped::Operation& names;
  std::vector<ParameterType> parameters;
  ResultShape result;
};

// In the order of the service interface.
const std::vector<OperationType>& Operations();

// The schema type of a scalar or member, as written in the service description ("xsd:short").
std::u16string_view SchemaTypeName(XsdType type);

}  // namespace vorlabws::standin
