// A record of the service's contract as the envelope writer and the reply reader see it: its schema
// type, its specified members as texts for the wire, and members set from texts read off the wire.
// The records themselves, with the service's own names, are in easyspeddews1.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlabws {

// The text of a member element; nullopt for an element marked xsi:nil.
using WireText = std::optional<std::u16string>;

struct WireMember {
  std::u16string_view name;
  WireText text;
};

class SoapRecord {
 public:
  virtual ~SoapRecord() = default;

  virtual std::u16string_view SchemaTypeName() const = 0;
  // The namespace of the type and of its member elements.
  virtual std::u16string_view SchemaNamespace() const = 0;
  // The subtypes registered under their parent's schema type name say so; their parents do not.
  virtual bool IsRegisteredSubtype() const { return false; }

  // The specified members in member order.
  virtual std::vector<WireMember> SpecifiedMembers() const = 0;
  // Sets the member of exactly this name (case matters) and raises its flag; false when the
  // record has no such member. A text that does not fit the member raises InvalidReply.
  virtual bool SetMemberFromWire(std::u16string_view name, const WireText& text) = 0;
};

}  // namespace vorlabws
