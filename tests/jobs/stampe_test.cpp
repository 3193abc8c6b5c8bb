// Fixed-width fields: fill side and character, cut to the left part, widths in UTF-16 units.
#include "jobs/stampe.h"

#include <gtest/gtest.h>

namespace vorlabws {
namespace {

using FillFunction = std::u16string (*)(const std::u16string&, int32_t);

TEST(StampeTest, FillsAndCuts) {
  struct Row {
    const char* name;
    FillFunction fill;
    std::u16string testo;
    int32_t l;
    std::u16string expected;
  };
  const Row rows[] = {
      {"zeros before a short number", RiempiSinZero, u"7", 3, u"007"},
      {"a long number loses its last digits", RiempiSinZero, u"12345", 3, u"123"},
      {"zeros go before a sign", RiempiSinZero, u"-5", 3, u"0-5"},
      {"blanks before", RiempiSin, u"7", 2, u" 7"},
      {"blanks after", RiempiDes, u"ab", 5, u"ab   "},
      {"empty text to a wide field", RiempiDes, u"", 35, std::u16string(35, u' ')},
      {"exact width unchanged", RiempiSin, u"abc", 3, u"abc"},
      {"left part kept by the right-aligned fill", RiempiSin, u"abcdef", 4, u"abcd"},
      {"left part kept by the left-aligned fill", RiempiDes, u"abcdef", 4, u"abcd"},
      {"width zero", RiempiDes, u"abc", 0, u""},
      {"negative width", RiempiSinZero, u"abc", -4, u""},
      {"empty text to width zero", RiempiSin, u"", 0, u""},
      {"accented letters count one unit each", RiempiDes, u"Societ\u00E0", 9, u"Societ\u00E0  "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.fill(row.testo, row.l), row.expected);
  }
}

}  // namespace
}  // namespace vorlabws
