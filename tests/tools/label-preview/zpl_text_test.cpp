// What the preview reads from a stored text before rendering it: whether it is a ZPL label and
// the size it sets.
#include "tools/label-preview/zpl_text.h"

#include <gtest/gtest.h>

#include "tests/tools/label-preview/preview_support.h"

namespace vorlabws {
namespace {

TEST(ZplTextTest, LabelFormats) {
  struct Row {
    const char* name;
    std::u16string text;
    bool zpl;
  };
  const Row rows[] = {
      {"a label format", u"~JA\r\n^XA^FDx^FS^XZ\r\n", true},
      {"an end before the start", u"^XZ^FDx^FS^XA", false},
      {"a start without an end", u"^XA^FDx^FS", false},
      {"commands in lower case, which the renderer does not read", u"^xa^fdx^fs^xz", false},
      {"no commands", u"N\r\nA50,50,0,4,1,1,N,\"^XA ^XZ\"", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsZpl(row.text), row.zpl);
  }
}

TEST(ZplTextTest, LabelSizes) {
  struct Row {
    const char* name;
    std::u16string text;
    LabelSize size;
  };
  const Row rows[] = {
      {"none set", u"^XA^FO10,10^FDx^FS^XZ", kDefaultLabelSize},
      {"both set, leading zeros", u"^XA^PW0400^LL300,N^XZ", {400, 300}},
      {"the first setting counts", u"^XA^PW400^LL300^XZ^XA^PW600^LL500^XZ", {400, 300}},
      {"no number", u"^XA^PW^LLx^XZ", kDefaultLabelSize},
      {"zero and beyond the largest", u"^XA^PW0^LL32001^XZ", kDefaultLabelSize},
      {"the largest", u"^XA^PW32000^LL1^XZ", {32000, 1}},
      {"a number too long for any integer", u"^XA^PW99999999999999999999^XZ", kDefaultLabelSize},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SizeOfLabel(row.text), row.size);
  }
}

}  // namespace
}  // namespace vorlabws
