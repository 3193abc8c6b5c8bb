// The trace file of a run: named after the moment and the job, with only decimal integers of the
// command line in its name, and holding the run from its command line to its exit code also when
// no job runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/support/test_support.h"

namespace vorlabws::testing {
namespace {

struct NameCase {
  const char* name;
  std::vector<std::string> arguments;  // after the database
  std::string job_part;                // what follows the moment in the file name
  std::vector<std::string> entries;    // with "<worker>", "<folder>" and "<db>" for the places
};

const NameCase kCases[] = {
    {"a job of two numbers",
     {"15", "2", "NONE"},
     "_15_2",
     {"command line: <worker> <db> 15 2 NONE", "program folder: <folder>",
      "outcome: ", "exit code 3"}},
    {"signed numbers",
     {"-7", "+3", "NONE"},
     "_-7_+3",
     {"command line: <worker> <db> -7 +3 NONE", "program folder: <folder>",
      "outcome: ", "exit code 3"}},
    {"a path and a blank in place of numbers",
     {"../../etc/x", "1 2", "NONE"},
     "_invalid_invalid",
     {"command line: <worker> <db> ../../etc/x '1 2' NONE", "program folder: <folder>",
      "outcome: ", "exit code 3"}},
    {"a number too long for a name",
     {"1234567890123456789", "", "NONE"},
     "_invalid_invalid",
     {"command line: <worker> <db> 1234567890123456789 '' NONE", "program folder: <folder>",
      "outcome: ", "exit code 3"}},
    {"too few arguments",
     {"15"},
     "_15_invalid",
     {"command line: <worker> <db> 15", "program folder: <folder>", "exit code 1"}},
};

TEST(TraceFileTest, NamedAfterTheMomentAndTheJob) {
  for (const NameCase& row : kCases) {
    SCOPED_TRACE(row.name);
    TempFolder trace;
    const std::string database = trace.path() + "none.fdb";
    std::vector<std::string> arguments = {database};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    StartOptions options;
    options.environment = {{"VORLABWS_TRACE", trace.path()}};

    RunWorker(arguments, options);

    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(trace.path())) {
      names.push_back(file.path().filename().string());
    }
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        names.front(),
        std::regex(R"([0-9]{8}-[0-9]{6}\.[0-9]{3})" +
                   std::regex_replace(row.job_part, std::regex(R"([+.])"), R"(\$&)") +
                   R"(\.trace)")))
        << names.front();
    std::vector<std::string> entries;
    std::istringstream lines(ReadFileBytes(Utf8ToUtf16(trace.path() + names.front())));
    for (std::string line; std::getline(lines, line);) {
      line = std::regex_replace(line, std::regex(R"(^ *[0-9]+\.[0-9]{3} ms  )"), "");
      for (const auto& [place, text] :
           {std::pair{ProgramFolderOfBuild() + "VorlabWS", "<worker>"},
            std::pair{ProgramFolderOfBuild(), "<folder>"}, std::pair{database, "<db>"}}) {
        if (const size_t at = line.find(place); at != std::string::npos) {
          line.replace(at, place.size(), text);
        }
      }
      entries.push_back(line);
    }
    EXPECT_EQ(entries, row.entries);
  }
}

}  // namespace
}  // namespace vorlabws::testing
