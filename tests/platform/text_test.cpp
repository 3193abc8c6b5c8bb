// The search under every template fill: the same answers as the standard library's search, from
// every starting point, including the byte patterns the byte scan must not mistake for a hit.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace vorlabws {
namespace {

struct FindCase {
  const char* name;
  std::u16string text;
  std::u16string needle;
};

TEST(TextTest, FindTextAnswersAsTheStandardSearchFromEveryStart) {
  const FindCase cases[] = {
      {"placeholders in a template", u"^FD@NOME@^FS\r\n^FD@NOME@@CAP@^FS", u"@NOME@"},
      {"at the very start and end", u"@A@ x @A@", u"@A@"},
      {"overlapping occurrences", u"@@@@@", u"@@"},
      {"absent", u"nessun segnaposto", u"@X@"},
      // U+4041's second byte is '@'s first byte; U+0140's first byte is '@'s, its unit is not.
      {"the first byte inside other units", u"\u4041X@X\u0140X\u4041@X", u"@X"},
      {"a first unit whose first byte is zero", u"a\u0100b\u0100c", u"\u0100c"},
      {"a needle longer than the text", u"@A", u"@A@"},
      {"a one-unit needle", u"a\u20ACb\u20AC", u"\u20AC"},
      {"an empty needle", u"abc", u""},
      {"an empty text", u"", u"@"},
  };
  for (const FindCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::u16string_view text = row.text;
    for (size_t from = 0; from <= text.size() + 1; ++from) {
      SCOPED_TRACE(from);
      EXPECT_EQ(FindText(text, row.needle, from), text.find(row.needle, from));
    }
  }
}

}  // namespace
}  // namespace vorlabws
