// Template files: any line ends in, CR LF after every line out, the encoding by byte-order mark,
// else UTF-8 when valid, else Windows-1252.
#include "jobs/template_text.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

TEST(TemplateTextTest, ReadsEveryEncodingAndLineEnd) {
  struct Row {
    const char* name;
    std::string bytes;
    std::u16string expected;
  };
  const Row rows[] = {
      {"LF without final line end", "^XA\n^FO@X@\n^XZ", u"^XA\r\n^FO@X@\r\n^XZ\r\n"},
      {"CR LF kept", "a\r\nb\r\n", u"a\r\nb\r\n"},
      {"lone CR ends a line", "a\rb", u"a\r\nb\r\n"},
      {"empty lines kept", "a\n\n\nb\n", u"a\r\n\r\n\r\nb\r\n"},
      {"empty file", "", u""},
      {"Windows-1252", "Forl\xEC \x80", u"Forl\u00EC \u20AC\r\n"},
      {"UTF-8 without mark", "Forl\xC3\xAC", u"Forl\u00EC\r\n"},
      {"UTF-8 with mark", "\xEF\xBB\xBF\xC3\xA0\n", u"\u00E0\r\n"},
      {"UTF-16 little endian", std::string("\xFF\xFE\xE0\x00\n\x00", 6), u"\u00E0\r\n"},
      {"UTF-16 big endian", std::string("\xFE\xFF\x00\xE0\x00\r", 6), u"\u00E0\r\n"},
  };
  testing::TempFolder folder;
  const std::u16string path = Utf8ToUtf16(folder.path() + "template.prn");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFileBytes(path, row.bytes);
    EXPECT_EQ(ReadTemplateText(path), row.expected);
  }
}

TEST(TemplateTextTest, MissingTemplateNamesTheFile) {
  try {
    ReadTemplateText(u"/nowhere/report/BRT.prn");
    FAIL() << "read";
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "Cannot open /nowhere/report/BRT.prn: No such file or directory");
  }
}

}  // namespace
}  // namespace vorlabws
