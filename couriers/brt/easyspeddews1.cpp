#include "couriers/brt/easyspeddews1.h"

#include <charconv>
#include <concepts>
#include <limits>

#include "couriers/brt/easyspeddews_contract.h"
#include "platform/code_page.h"
#include "platform/text.h"

namespace vorlabws {
namespace {

WireText ToWire(const std::u16string& value) { return value; }

template <std::integral Integer>
WireText ToWire(Integer value) {
  return IntToText(value);
}

template <typename Value>
WireText ToWire(const std::shared_ptr<const Value>& value) {
  return value != nullptr ? WireText(value->Text()) : std::nullopt;
}

WireText ToWire(LabelToPrint_tipiEtichetta value) { return IntToText(static_cast<int>(value)); }

[[noreturn]] void RaiseBadMember(std::u16string_view name, const std::u16string& text,
                                 const std::string& kind) {
  throw InvalidReply("The reply's " + Utf16ToUtf8(name) + " '" + Utf16ToUtf8(text) + "' is not " +
                     kind);
}

bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// An XML Schema integer: blanks around, an optional sign, decimal digits, within the member's size.
template <std::integral Integer>
Integer ParseInteger(const std::u16string& text, std::u16string_view name) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsXmlSpace(text[first])) ++first;
  while (last > first && IsXmlSpace(text[last - 1])) --last;
  if (first < last && text[first] == u'+') ++first;
  std::string digits;
  for (size_t i = first; i < last; ++i) {
    digits.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
  }
  Integer value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    RaiseBadMember(
        name, text,
        "an integer of " + std::to_string(std::numeric_limits<Integer>::digits + 1) + " bits");
  }
  return value;
}

void FromWire(SpecifiedValue<std::u16string>& member, const WireText& text, std::u16string_view) {
  member = {text.value_or(u""), true};
}

// Integers are not nillable: a nil one leaves the member unset.
template <std::integral Integer>
void FromWire(SpecifiedValue<Integer>& member, const WireText& text, std::u16string_view name) {
  if (text) member = {ParseInteger<Integer>(*text, name), true};
}

template <typename Value>
void FromWire(SpecifiedValue<std::shared_ptr<const Value>>& member, const WireText& text,
              std::u16string_view) {
  member = {text ? std::make_shared<const Value>(*text) : nullptr, true};
}

void FromWire(SpecifiedValue<LabelToPrint_tipiEtichetta>& member, const WireText& text,
              std::u16string_view name) {
  if (!text) return;
  const int ordinal = ParseInteger<int>(*text, name);
  if (ordinal < 0 || ordinal > 3) RaiseBadMember(name, *text, "a label type");
  member = {static_cast<LabelToPrint_tipiEtichetta>(ordinal), true};
}

}  // namespace

#define VORLABWS_WRITE_MEMBER(Name, Type) \
  if (Name##_.specified) members.push_back({u"" #Name, ToWire(Name##_.value)});

#define VORLABWS_READ_MEMBER(Name, Type) \
  if (name == u"" #Name) {               \
    FromWire(Name##_, text, name);       \
    return true;                         \
  }

#define VORLABWS_DEFINE_SOAP_RECORD(Record, MEMBERS, type_name, namespace_uri)     \
  std::u16string_view Record::SchemaTypeName() const { return type_name; }         \
  std::u16string_view Record::SchemaNamespace() const { return namespace_uri; }    \
  std::vector<WireMember> Record::SpecifiedMembers() const {                       \
    std::vector<WireMember> members;                                               \
    MEMBERS(VORLABWS_WRITE_MEMBER)                                                 \
    return members;                                                                \
  }                                                                                \
  bool Record::SetMemberFromWire(std::u16string_view name, const WireText& text) { \
    MEMBERS(VORLABWS_READ_MEMBER)                                                  \
    return false;                                                                  \
  }

VORLABWS_DEFINE_SOAP_RECORD(DestinationAddress2, VORLABWS_DESTINATION_ADDRESS2_MEMBERS,
                            easysped::kDestinationAddressType, easysped::kDalNamespace)
VORLABWS_DEFINE_SOAP_RECORD(DestinationAddressOut2, VORLABWS_DESTINATION_ADDRESS_OUT2_MEMBERS,
                            easysped::kDestinationAddressOutType, easysped::kDalNamespace)
VORLABWS_DEFINE_SOAP_RECORD(LabelToPrint2, VORLABWS_LABEL_TO_PRINT2_MEMBERS,
                            easysped::kLabelToPrintType, easysped::kPrintlabelNamespace)

}  // namespace vorlabws
