// The byte encodings at the system's edges: Windows-1252 as Windows maps it, UTF-8 both ways.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace vorlabws {
namespace {

TEST(CodePageTest, EveryWindows1252ByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string text = Cp1252ToUtf16(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(text[0x80], u'\u20AC');
  EXPECT_EQ(text[0xB4], u'\u00B4');
  EXPECT_EQ(text[0x81], u'\u0081');
  EXPECT_EQ(Utf16ToCp1252(text), all);
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

TEST(CodePageTest, OutsideTheCodePageBecomesQuestionMark) {
  EXPECT_EQ(Utf16ToCp1252(u"\u0141\u00E0"), "?\xE0");
}

TEST(CodePageTest, Utf8Validity) {
  EXPECT_TRUE(IsValidUtf8("Forl\xC3\xAC \xE2\x82\xAC \xF0\x9F\x93\xA6"));
  EXPECT_FALSE(IsValidUtf8("Forl\xEC"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\uFFFDz");  // a bad byte does not swallow the next
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x93\xA6"), u"\U0001F4E6");
}

struct Utf8Case {
  const char* name;
  std::u16string text;
  std::string bytes;
};

TEST(CodePageTest, Utf16ToUtf8WritesEveryLengthOfSequence) {
  const Utf8Case cases[] = {
      {"ASCII", u"Forl\u00EC 2", "Forl\xC3\xAC 2"},
      {"one to four bytes", u"a\u00E8\u20AC\U0001F4E6z", "a\xC3\xA8\xE2\x82\xAC\xF0\x9F\x93\xA6z"},
      {"a lone low surrogate", std::u16string(u"a") + char16_t(0xDC00) + u"b",
       "a\xEF\xBF\xBD"
       "b"},
      {"a high surrogate at the end", std::u16string(u"a") + char16_t(0xD83D), "a\xEF\xBF\xBD"},
      {"two high surrogates", std::u16string(2, char16_t(0xD83D)), "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"empty", u"", ""},
  };
  for (const Utf8Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utf16ToUtf8(row.text), row.bytes);
  }
}

}  // namespace
}  // namespace vorlabws
