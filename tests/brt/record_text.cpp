#include "tests/brt/record_text.h"

#include "platform/code_page.h"

namespace vorlabws::testing {

std::string MembersText(const SoapRecord& record) {
  std::string out;
  for (const WireMember& member : record.SpecifiedMembers()) {
    out +=
        Utf16ToUtf8(member.name) + "=" + (member.text ? Utf16ToUtf8(*member.text) : "(nil)") + "\n";
  }
  return out;
}

}  // namespace vorlabws::testing
