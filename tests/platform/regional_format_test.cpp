// Numbers as texts under the Italian regional format: decimal comma, general form, halves to even.
#include "platform/regional_format.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

namespace vorlabws {
namespace {

TEST(RegionalFormatTest, FloatToTextGeneralForm) {
  struct Row {
    const char* name;
    double value;
    std::u16string text;
  };
  const Row rows[] = {
      {"whole", 12, u"12"},
      {"one decimal", 12.3, u"12,3"},
      {"negative", -0.062, u"-0,062"},
      {"fifteen significant digits", 0.1 + 0.2, u"0,3"},
      {"fifteen integer digits stay plain", 123456789012345, u"123456789012345"},
      {"sixteen integer digits go to the exponent", 1234567890123456, u"1,23456789012346E15"},
      {"below 0,0001", 0.0000442615029219009, u"4,42615029219009E-5"},
      {"0,0001 stays plain", 0.0001, u"0,0001"},
      {"zero", 0, u"0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FloatToText(row.value), row.text);
  }
}

TEST(RegionalFormatTest, TextToFloat) {
  struct Row {
    const char* name;
    std::u16string text;
    bool valid;
    double value;
  };
  const Row rows[] = {
      {"comma", u"12,25", true, 12.25},
      {"blanks around and sign", u"  -1,5  ", true, -1.5},
      {"exponent", u"1,5E3", true, 1500},
      {"no integer part", u",5", true, 0.5},
      {"point is no separator", u"1.5", false, 0},
      {"thousands and decimals", u"1.234,5", false, 0},
      {"empty", u"", false, 0},
      {"letters", u"12kg", false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.valid) {
      EXPECT_EQ(TextToFloat(row.text), row.value);
    } else {
      EXPECT_THROW(TextToFloat(row.text), ConvertError);
    }
  }
}

TEST(RegionalFormatTest, TextToIntegerAndItsMessage) {
  EXPECT_EQ(TextToInteger(u"0307"), 307);
  EXPECT_EQ(TextToInteger(u"  +12"), 12);
  EXPECT_EQ(TextToInteger(u"-2147483648"), -2147483648);
  for (const std::u16string text : {u"", u" ", u"12 ", u"1,0", u"2147483648", u"- 1"}) {
    EXPECT_THROW(TextToInteger(text), ConvertError);
  }
  try {
    TextToInteger(u"3a");
    FAIL() << "read";
  } catch (const ConvertError& error) {
    EXPECT_STREQ(error.what(), "'3a' is not a valid integer value");
  }
}

TEST(RegionalFormatTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(122.5), 122);
  EXPECT_EQ(RoundHalfEven(123.5), 124);
  EXPECT_EQ(RoundHalfEven(-0.5), -0.0);
  EXPECT_EQ(RoundHalfEven(62.5), 62);
}

TEST(RegionalFormatTest, ScaledToTextDropsTrailingZeros) {
  EXPECT_EQ(ScaledToText(12500, 3), u"12,5");
  EXPECT_EQ(ScaledToText(100000, 3), u"100");
  EXPECT_EQ(ScaledToText(-25, 2), u"-0,25");
  EXPECT_EQ(ScaledToText(1, 3), u"0,001");
  EXPECT_EQ(ScaledToText(0, 2), u"0");
  EXPECT_EQ(ScaledToText(INT64_MIN, 4), u"-922337203685477,5808");
}

}  // namespace
}  // namespace vorlabws
