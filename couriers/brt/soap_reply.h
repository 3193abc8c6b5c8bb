// Reading a reply envelope: the SOAP 1.1 Envelope with one Body, a Fault raised as SoapFault, the
// response wrapper and its result element, and the result read as a record, a text or bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "couriers/brt/soap_record.h"
#include "platform/xml.h"

namespace vorlabws {

class SoapReply {
 public:
  // Parses the reply and takes the first element of its one Body as the response wrapper. Raises
  // InvalidReply for anything but a SOAP 1.1 envelope, SoapFault for a fault. `source` (the
  // endpoint) names the reply in messages.
  SoapReply(std::string_view bytes, std::u16string_view source);

  // The wrapper's child whose local name is `result_name` in any case, else the wrapper's only
  // element child; nullopt when neither (or when the Body is empty).
  std::optional<XmlNode> ResultElement(std::u16string_view result_name) const;

  // The result's character data; InvalidReply when there is no result element.
  std::u16string TextResult(std::u16string_view result_name) const;
  // The result's Base64 content; InvalidReply when there is no result element or it is no Base64.
  std::vector<uint8_t> BytesResult(std::u16string_view result_name) const;

  // The result element read into a new Record, or a Subtype when the element's xsi:type names the
  // schema type; nullptr when there is no result element or it is marked nil.
  template <typename Record, typename Subtype>
  std::unique_ptr<Record> RecordResult(std::u16string_view result_name) const;

 private:
  XmlNode RequiredResult(std::u16string_view result_name) const;
  [[noreturn]] void RaiseInvalid(const std::string& why) const;

  std::u16string source_;
  XmlDocument document_;
  std::optional<XmlNode> wrapper_;
};

bool IsNil(const XmlNode& element);
// Whether the element's xsi:type names this schema type.
bool NamesSchemaType(const XmlNode& element, std::u16string_view namespace_uri,
                     std::u16string_view type_name);
// Sets each member from the first child element whose local name is exactly the member's name.
void ReadMembers(const XmlNode& element, SoapRecord& record);

template <typename Record, typename Subtype>
std::unique_ptr<Record> SoapReply::RecordResult(std::u16string_view result_name) const {
  const std::optional<XmlNode> element = ResultElement(result_name);
  if (!element || IsNil(*element)) return nullptr;
  std::unique_ptr<Record> record = std::make_unique<Record>();
  if (NamesSchemaType(*element, record->SchemaNamespace(), record->SchemaTypeName())) {
    record = std::make_unique<Subtype>();
  }
  ReadMembers(*element, *record);
  return record;
}

}  // namespace vorlabws
