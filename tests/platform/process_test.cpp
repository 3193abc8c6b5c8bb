#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>

namespace vorlabws {
namespace {

using Clock = std::chrono::steady_clock;

ChildProcess Shell(const std::u16string& script) {
  StartOptions options;
  options.capture_standard_error = true;
  return ChildProcess(u"/bin/sh", {u"-c", script}, options);
}

TEST(ChildProcessStandardError, CollectedWhileWaitingAndBounded) {
  struct Row {
    const char* name;
    std::u16string script;
    std::string standard_error;
  };
  const Row rows[] = {
      {"one line", u"echo 'answered 503 Service Unavailable' >&2; exit 1",
       "answered 503 Service Unavailable\n"},
      {"nothing written", u"exit 0", ""},
      {"more than the bound: the start is kept, the child never blocks on a full pipe",
       u"i=0; while [ $i -lt 2000 ]; do echo 'line of standard error....' >&2; i=$((i+1)); done",
       [] {
         std::string text;
         while (text.size() < ChildProcess::kStandardErrorLimit) {
           text += "line of standard error....\n";
         }
         return text.substr(0, ChildProcess::kStandardErrorLimit);
       }()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ChildProcess child = Shell(row.script);
    ASSERT_TRUE(child.WaitFor(std::chrono::seconds(20)));
    EXPECT_EQ(child.StandardError(), row.standard_error);
  }
}

// A descendant that keeps the pipe open holds neither the wait nor the text back.
TEST(ChildProcessStandardError, DescendantHoldingThePipeDoesNotHoldTheWait) {
  ChildProcess child = Shell(u"sleep 30 & echo $! >&2");
  const auto start = Clock::now();
  ASSERT_TRUE(child.WaitFor(std::chrono::seconds(20)));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
  const std::string& text = child.StandardError();
  ASSERT_TRUE(text.ends_with("\n")) << text;
  const pid_t descendant = std::stoi(text);
  EXPECT_EQ(text, std::to_string(descendant) + "\n");
  ::kill(descendant, SIGKILL);
}

}  // namespace
}  // namespace vorlabws
