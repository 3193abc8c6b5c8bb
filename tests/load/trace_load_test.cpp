// Twenty workers at once with the trace on: each job writes one trace file of its own, named after
// its job, whose entries follow one another in time from its command line to its exit code, with
// its own statements and outcome only.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "tests/load/load_site.h"

namespace vorlabws::testing {
namespace {

constexpr int kJobs = 40;
constexpr size_t kWorkers = 20;

// The trace files of the folder, by the job their name gives ("_<testata>_<riga>.trace").
std::map<std::string, std::vector<std::string>> TracesByJob(const std::string& folder) {
  static const std::regex kName(
      R"(^[0-9]{8}-[0-9]{6}\.[0-9]{3}_([0-9]+_[0-9]+)(-[0-9]+)?\.trace$)");
  std::map<std::string, std::vector<std::string>> traces;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::smatch match;
    const std::string name = file.path().filename().string();
    EXPECT_TRUE(std::regex_match(name, match, kName)) << name;
    traces[match[1]].push_back(file.path().string());
  }
  return traces;
}

struct Trace {
  std::vector<std::string> titles;   // without their stamps
  std::vector<std::string> details;  // every detail line, without its prefix
};

// A trace file read back; fails the test when a stamp is earlier than the one before it, which is
// what lines of two runs mixed in one file would show.
Trace ReadTrace(const std::string& path) {
  static const std::regex kStamp(R"(^ *([0-9]+\.[0-9]{3}) ms  )");
  Trace trace;
  double last = 0;
  std::istringstream lines(ReadFileBytes(Utf8ToUtf16(path)));
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("  | ")) {
      trace.details.push_back(line.substr(4));
      continue;
    }
    std::smatch match;
    EXPECT_TRUE(std::regex_search(line, match, kStamp)) << line;
    const double stamp = std::stod(match[1]);
    EXPECT_GE(stamp, last) << line;
    last = stamp;
    trace.titles.push_back(match.suffix());
  }
  return trace;
}

}  // namespace

TEST(TraceLoadTest, TwentyWorkersEachWriteTheirOwnTrace) {
  const LoadSite site;
  TempFolder trace;
  ::chmod(trace.path().c_str(), 0777);
  std::vector<Shipment> shipments;
  std::vector<std::vector<std::string>> jobs;
  for (int i = 0; i < kJobs; ++i) {
    const Courier courier = i % 2 == 0 ? Courier::kBrt : Courier::kDhl;
    shipments.push_back(
        {courier, 2001 + i, static_cast<size_t>(i / 2) % DestinationCount(courier)});
    AddShipment(site.database(), shipments.back());
    jobs.push_back(site.LabelJob(shipments.back().testata, 1));
  }

  WorkerPool pool = site.StartWorkers(jobs, kWorkers, {{"VORLABWS_TRACE", trace.path()}});
  const PoolReport report = pool.Wait();

  const std::map<std::string, std::vector<std::string>> traces = TracesByJob(trace.path());
  EXPECT_EQ(traces.size(), shipments.size());
  for (size_t job = 0; job < shipments.size(); ++job) {
    const std::string testata = std::to_string(shipments[job].testata);
    SCOPED_TRACE("job " + testata);
    const auto files = traces.find(testata + "_1");
    ASSERT_NE(files, traces.end());
    ASSERT_EQ(files->second.size(), 1u);
    const Trace traced = ReadTrace(files->second.front());
    const std::vector<std::string>& titles = traced.titles;
    ASSERT_GE(titles.size(), 3u);
    EXPECT_TRUE(titles.front().starts_with("command line: ")) << titles.front();
    EXPECT_TRUE(titles.front().ends_with("VorlabWS " + jobs[job][0] + " " + testata + " 1"))
        << titles.front();
    const ExpectedJob expected = ExpectedLabelJob(shipments[job], 1);
    EXPECT_EQ(titles[titles.size() - 2], "outcome: " + Utf16ToUtf8(expected.esito));
    EXPECT_EQ(titles.back(), "exit code " + std::to_string(report.runs[job].run.exit_code));
    // The job's statements and rows name its own shipment only.
    for (const std::string& line : traced.details) {
      static const std::regex kKey(R"((^|[ .])(ID|TESTATA)=([0-9]+))");
      for (auto key = std::sregex_iterator(line.begin(), line.end(), kKey);
           key != std::sregex_iterator(); ++key) {
        EXPECT_EQ((*key)[3], testata) << line;
      }
    }
  }
}

}  // namespace vorlabws::testing
