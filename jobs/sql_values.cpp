#include "jobs/sql_values.h"

#include <algorithm>

#include "platform/code_page.h"
#include "platform/failure.h"

namespace vorlabws {

std::u16string SostituisciApici(std::u16string text) {
  std::replace(text.begin(), text.end(), u'\'', u'\u00B4');
  return text;
}

std::u16string QuotedText(const std::u16string& text) {
  return u"'" + SostituisciApici(text) + u"'";
}

const std::u16string& BareIdentifier(const std::u16string& identifier, const char* what) {
  size_t i = (!identifier.empty() && (identifier[0] == u'+' || identifier[0] == u'-')) ? 1 : 0;
  bool valid = i < identifier.size();
  for (; i < identifier.size(); ++i)
    valid = valid && identifier[i] >= u'0' && identifier[i] <= u'9';
  if (!valid) {
    throw IdentifierError(std::string(what) + " '" + Utf16ToUtf8(identifier) +
                          "' is not a decimal integer");
  }
  return identifier;
}

}  // namespace vorlabws
