#include "platform/base64.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace vorlabws {
namespace {

TEST(Base64, TestVectorsBothWays) {
  struct Case {
    const char* bytes;
    const char16_t* text;
  };
  // RFC 4648, section 10.
  const Case cases[] = {{"", u""},
                        {"f", u"Zg=="},
                        {"fo", u"Zm8="},
                        {"foo", u"Zm9v"},
                        {"foob", u"Zm9vYg=="},
                        {"fooba", u"Zm9vYmE="},
                        {"foobar", u"Zm9vYmFy"}};
  for (const Case& row : cases) {
    SCOPED_TRACE(row.bytes);
    EXPECT_EQ(DecodeBase64(row.text), row.bytes);
    const std::u16string text = row.text;
    EXPECT_EQ(EncodeBase64(row.bytes), std::string(text.begin(), text.end()));
  }
  EXPECT_EQ(DecodeBase64(u"/+8A"), std::string("\xFF\xEF\x00", 3));
  EXPECT_EQ(DecodeBase64(u"Zm9v\r\nYmFy\n"), "foobar");
}

TEST(Base64, MalformedTextsAreRefused) {
  struct Case {
    const char* name;
    const char16_t* text;
    const char* message;
  };
  const Case cases[] = {
      {"outside the alphabet", u"Zm9v-mFy", "Invalid Base64 text: character outside the alphabet"},
      {"short group", u"Zm9vY", "Invalid Base64 text: incomplete last group"},
      {"padding missing", u"Zg=", "Invalid Base64 text: incomplete last group"},
      {"padding first", u"=Zg=", "Invalid Base64 text: misplaced padding"},
      {"data after padding", u"Zg==Zg==", "Invalid Base64 text: data after the padding"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    try {
      DecodeBase64(row.text);
      ADD_FAILURE() << "no failure";
    } catch (const ConvertError& error) {
      EXPECT_STREQ(error.what(), row.message);
    }
  }
}

}  // namespace
}  // namespace vorlabws
