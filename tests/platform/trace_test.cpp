// How the trace shows a body: UTF-8 as it came, other bytes read as Windows-1252, and a body past
// the limit cut there on a character's boundary with a note of its whole length.
#include "platform/trace.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlabws {
namespace {

struct BodyCase {
  const char* name;
  std::string bytes;
  std::string shown;
};

TEST(TraceBodyTest, ShowsBodiesAsTextCutPastTheLimit) {
  const std::string limit_of_a(kTraceBodyLimit, 'a');
  const std::string before_euro(kTraceBodyLimit - 1, 'a');
  const BodyCase cases[] = {
      {"empty", "", ""},
      {"UTF-8 with line ends", "<a>\r\nL\xC2\xB4Orso\n</a>", "<a>\r\nL\xC2\xB4Orso\n</a>"},
      {"Windows-1252", "L\xB4Orso \x80", "L\xC2\xB4Orso \xE2\x82\xAC"},
      {"exactly the limit", limit_of_a, limit_of_a},
      {"one byte past the limit", limit_of_a + "b",
       limit_of_a + "\n(cut at 1048576 of 1048577 bytes)"},
      {"a character across the limit", before_euro + "\xE2\x82\xAC",
       before_euro + "\n(cut at 1048575 of 1048578 bytes)"},
  };
  for (const BodyCase& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TraceBody(row.bytes), row.shown);
  }
}

}  // namespace
}  // namespace vorlabws
