// The trace of a run (VORLABWS_TRACE): for each kind of job, and for a job that fails, the
// trace's entries in order with their times and the scene's places masked, the BRT envelopes as
// the service received them, and never the password; a folder that cannot take the trace leaves
// the job as it would be without one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tests/faults/fault_scene.h"

namespace vorlabws::testing {
namespace {

struct Entry {
  std::string title;
  std::string details;  // the detail lines without their prefix, each ended by "\n"
};

// The one trace file in `folder`, split into its entries.
std::vector<Entry> ReadTrace(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    files.push_back(file.path().string());
  }
  EXPECT_EQ(files.size(), 1u) << folder;
  if (files.size() != 1) return {};
  const std::string text = ReadFileBytes(Utf8ToUtf16(files.front()));
  EXPECT_EQ(text.find("ambertide"), std::string::npos);
  std::vector<Entry> entries;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.starts_with("  | ")) {
      EXPECT_FALSE(entries.empty()) << "a detail line before any entry: " << line;
      if (!entries.empty()) entries.back().details += line.substr(4) + "\n";
    } else {
      entries.push_back({line, ""});
    }
  }
  return entries;
}

// The entries' titles with their times, durations, process numbers, ports and the scene's
// folders masked; a statement's title followed by its first line.
std::vector<std::string> Outline(const std::vector<Entry>& entries, const FaultScene& scene) {
  static const std::regex kStamp(R"(^ *[0-9]+\.[0-9]{3} ms  )");
  static const std::regex kDuration(R"([0-9]+\.[0-9]{3} ms)");
  static const std::regex kProcess(R"(process [0-9]+)");
  static const std::regex kPort(R"(127\.0\.0\.1:[0-9]+)");
  std::vector<std::string> outline;
  for (const Entry& entry : entries) {
    EXPECT_TRUE(std::regex_search(entry.title, kStamp)) << entry.title;
    std::string title = std::regex_replace(entry.title, kStamp, "");
    title = std::regex_replace(title, kDuration, "<t>");
    title = std::regex_replace(title, kProcess, "process <pid>");
    title = std::regex_replace(title, kPort, "<port>");
    title = Utf16ToUtf8(
        ReplaceAll(Utf8ToUtf16(title), Utf8ToUtf16(scene.program().path()), u"<program>/"));
    title = Utf16ToUtf8(
        ReplaceAll(Utf8ToUtf16(title), Utf8ToUtf16(scene.database_file()), u"<database>"));
    const std::string folder = std::filesystem::path(scene.database_file()).parent_path();
    title = Utf16ToUtf8(ReplaceAll(Utf8ToUtf16(title), Utf8ToUtf16(folder), u"<folder>"));
    if (title == "sql")
      title += ": " + entry.details.substr(0, entry.details.find_first_of("\r\n"));
    outline.push_back(title);
  }
  return outline;
}

// The body of an HTTP entry: what follows the header block's empty line.
std::string Body(const Entry& entry) {
  const size_t blank = entry.details.find("\n\n");
  return blank == std::string::npos ? "" : entry.details.substr(blank + 2);
}

class TraceFolder {
 public:
  TraceFolder() { ::chmod(folder_.path().c_str(), 0777); }
  const std::string& path() const { return folder_.path(); }

 private:
  TempFolder folder_;
};

// The whole run of a label job 15/2 through its SELECT and row, with `job` between, to its end.
std::vector<std::string> LabelRun(const std::vector<std::string>& job, const std::string& outcome,
                                  int exit_code) {
  std::vector<std::string> run = {
      "command line: <program>/VorlabWS localhost:<database> 15 2",
      "program folder: <program>/",
      "settings localhost:<folder>/dati.ini: absent",
      "attach localhost:<database>",
      "attached in <t>",
      "transaction started in <t>",
      "sql: SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 AND "
      "R.RIGA=2",
      "sql opened in <t>",
      "row 1"};
  run.insert(run.end(), job.begin(), job.end());
  for (const std::string& end :
       {"sql: UPDATE VORLABR SET ESITO='" + outcome + "' WHERE TESTATA=15 AND RIGA=2",
        std::string("sql executed in <t>, rows changed: 1"), std::string("committed in <t>"),
        "outcome: " + outcome, "exit code " + std::to_string(exit_code)}) {
    run.push_back(end);
  }
  return run;
}

const std::vector<std::string> kBrtCalls = {"http request GET http://<port>/easyspeddews?wsdl",
                                            "http response 200 OK in <t>",
                                            "http request POST http://<port>/easyspeddews"};

struct TraceCase {
  const char* name;
  Job job;
  std::function<void(FaultScene&)> make;
  std::vector<std::string> outline;
};

const TraceCase kCases[] = {
    {.name = "BRT label job",
     .job = Job::kBrtLabel,
     .make = [](FaultScene&) {},
     .outline = LabelRun(
         {kBrtCalls[0], kBrtCalls[1], kBrtCalls[2], "http response 200 OK in <t>", kBrtCalls[2],
          "http response 200 OK in <t>", "sql: UPDATE VORLABT SET",
          "sql executed in <t>, rows changed: 1", "committed in <t>", "sql: UPDATE VORLABR SET",
          "sql executed in <t>, rows changed: 1", "committed in <t>"},
         "000 - Completato", 0)},
    {.name = "BRT service fault",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.UseBrtService({"--misbehave", "fault"});
         },
     .outline = LabelRun({kBrtCalls[0], kBrtCalls[1], kBrtCalls[2],
                          "http response 500 Internal Server Error in <t>"},
                         "002 - Errore di comunicazione con il webservice BRT", 3)},
    {.name = "DHL label job through the relay",
     .job = Job::kDhlLabel,
     .make = [](FaultScene&) {},
     .outline = LabelRun(
         {"process <pid> started", "process <pid> ended in <t>: exit code 0",
          "process <pid> standard error", "sql: UPDATE VORLABT SET",
          "sql executed in <t>, rows changed: 1", "committed in <t>",
          "sql: SELECT * FROM VORLABT T INNER JOIN VORLABR R ON T.ID=R.TESTATA WHERE T.ID=15 "
          "AND R.RIGA=2",
          "sql opened in <t>", "row 1", "sql: UPDATE VORLABR SET",
          "sql executed in <t>, rows changed: 1", "committed in <t>"},
         "000 - Completato", 0)},
    {.name = "DHL manifest",
     .job = Job::kDhlManifest,
     .make = [](FaultScene&) {},
     .outline = {"command line: <program>/VorlabWS localhost:<database> 7 2 MANIFEST",
                 "program folder: <program>/",
                 "settings localhost:<folder>/dati.ini: absent",
                 "attach localhost:<database>",
                 "attached in <t>",
                 "transaction started in <t>",
                 "sql: SELECT * FROM MANIFESTT T INNER JOIN MANIFESTR R ON T.ID=R.TESTATA WHERE "
                 "T.ID=7",
                 "sql opened in <t>",
                 "row 1",
                 "sql: SELECT * FROM VORLABT WHERE ID=15",
                 "sql opened in <t>",
                 "row 1",
                 "sql: SELECT * FROM VORLABR WHERE TESTATA=15 ORDER BY RIGA",
                 "sql opened in <t>",
                 "row 1",
                 "end of rows after 1",
                 "end of rows after 1",
                 "sql: UPDATE MANIFESTT SET MANIFEST='FF0HDRFFTIN00300CARGOMERIDIAN                "
                 "      DHLEUAPGW                          ",
                 "sql executed in <t>, rows changed: 1",
                 "committed in <t>",
                 "sql: UPDATE MANIFESTT SET ESITO='000 - Completato' WHERE ID=7",
                 "sql executed in <t>, rows changed: 1",
                 "committed in <t>",
                 "outcome: 000 - Completato",
                 "exit code 0"}},
    {.name = "database cannot be opened",
     .job = Job::kBrtLabel,
     .make =
         [](FaultScene& scene) {
           scene.SetDatabaseArgument("localhost/" + std::to_string(scene.ClosedPortNumber()) + ":" +
                                     scene.database_file());
         },
     .outline =
         {"command line: <program>/VorlabWS localhost/<closed>:<database> 15 2",
          "program folder: <program>/", "settings localhost/<closed>:<folder>/dati.ini: absent",
          "attach localhost/<closed>:<database>",
          "attach failed in <t>: Unable to complete network request to host \"localhost\".; "
          "Failed to establish a connection. [attaching localhost/<closed>:<database>]",
          "create database localhost/<closed>:<database>",
          "creation failed in <t>: Unable to complete network request to host \"localhost\".; "
          "Failed to establish a connection. [creating localhost/<closed>:<database>]",
          "box Vorlabws", "form Non trovato dati.ini shown", "form Non trovato dati.ini closed",
          "box Vorlabws", "error box Errore", "attach localhost/<closed>:<database>",
          "attach failed in <t>: Unable to complete network request to host \"localhost\".; "
          "Failed to establish a connection. [attaching localhost/<closed>:<database>]",
          "failure: vorlabws::DatabaseError: Unable to complete network request to host "
          "\"localhost\".; Failed to establish a connection. [attaching "
          "localhost/<closed>:<database>]",
          "exit code 2"}},
};

void PrintTo(const TraceCase& row, std::ostream* out) { *out << row.name; }

std::string FileSize(const std::string& path) {
  return std::to_string(std::filesystem::file_size(path));
}

}  // namespace

class TraceTest : public ::testing::TestWithParam<TraceCase> {};

TEST_P(TraceTest, EntriesInOrderWithoutThePassword) {
  const TraceCase& row = GetParam();
  SCOPED_TRACE(row.name);
  FaultScene scene(row.job);
  row.make(scene);
  const TraceFolder trace;
  scene.SetEnvironment("VORLABWS_TRACE", trace.path());

  scene.RunJob();
  const std::vector<Entry> entries = ReadTrace(trace.path());

  std::vector<std::string> outline = Outline(entries, scene);
  for (std::string& title : outline) {
    title = std::regex_replace(title, std::regex("localhost/[0-9]+:"), "localhost/<closed>:");
  }
  EXPECT_EQ(outline, row.outline);
}

std::string RowName(const ::testing::TestParamInfo<TraceCase>& info) {
  std::string name;
  for (const char c : std::string(info.param.name)) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Jobs, TraceTest, ::testing::ValuesIn(kCases), RowName);

TEST(BrtTraceTest, EnvelopesAreThoseTheServiceReceived) {
  FaultScene scene(Job::kBrtLabel);
  const TraceFolder trace;
  scene.SetEnvironment("VORLABWS_TRACE", trace.path());

  scene.RunJob();

  std::vector<std::string> envelopes;
  for (const Entry& entry : ReadTrace(trace.path())) {
    if (entry.title.ends_with("http request POST http://127.0.0.1:" +
                              std::to_string(scene.brt_service().port()) + "/easyspeddews")) {
      envelopes.push_back(Body(entry));
    }
  }
  ASSERT_EQ(envelopes.size(), 2u);
  EXPECT_EQ(envelopes[0], scene.brt_service().Received(1));
  EXPECT_EQ(envelopes[1], scene.brt_service().Received(2));
}

TEST(DhlTraceTest, RelayRunShowsItsCommandLineFolderAndFiles) {
  FaultScene scene(Job::kDhlLabel);
  const TraceFolder trace;
  scene.SetEnvironment("VORLABWS_TRACE", trace.path());

  scene.RunJob();

  const std::string& program = scene.program().path();
  const std::string request = program + "data/dhl_15_2.txt";
  const std::string reply = program + "data/out/dhl_15_2.txt";
  std::vector<std::string> relay;
  for (const Entry& entry : ReadTrace(trace.path())) {
    if (entry.title.find("  process ") != std::string::npos) {
      relay.push_back(
          std::regex_replace(entry.details, std::regex("127\\.0\\.0\\.1:[0-9]+"), "<port>"));
    }
  }
  const std::string files_after =
      request + ": " + FileSize(request) + " bytes\n" + reply + ": " + FileSize(reply) + " bytes\n";
  EXPECT_EQ(relay,
            (std::vector<std::string>{
                "command line: " + program + "Relayer.exe http://<port>/sndpt/DocumentRendering " +
                    program + "data dhl_15_2.txt\nworking folder: " +
                    std::filesystem::current_path().string() + "\n" + request + ": " +
                    FileSize(request) + " bytes\n" + reply + ": absent\n",
                files_after, ""}));
}

TEST(DhlTraceTest, RelayStandardErrorIsShown) {
  FaultScene scene(Job::kDhlLabel);
  scene.UseRelayScript("echo 'the service refused the account' >&2\nexit 1");
  const TraceFolder trace;
  scene.SetEnvironment("VORLABWS_TRACE", trace.path());

  scene.RunJob();

  std::vector<std::string> said;
  for (const Entry& entry : ReadTrace(trace.path())) {
    if (entry.title.ends_with(" standard error")) said.push_back(entry.details);
  }
  EXPECT_EQ(said, std::vector<std::string>{"the service refused the account\n"});
}

TEST(UnwritableTraceTest, JobRunsAsWithoutTraceAndSaysSoOnce) {
  FaultScene scene(Job::kBrtLabel);
  const FaultRun twin = scene.RunTwin();
  const TraceFolder trace;
  const std::string missing = trace.path() + "missing";
  scene.SetEnvironment("VORLABWS_TRACE", missing);

  const FaultRun run = scene.RunJob();

  EXPECT_EQ(run.exit_code, twin.exit_code);
  EXPECT_EQ(run.standard_output, twin.standard_output);
  EXPECT_EQ(run.standard_error, "VORLABWS_TRACE: no trace can be written in " + missing +
                                    ": No such file or directory\n");
  const JobRows job = scene.JobRowsNow();
  const JobRows complete = scene.TwinRowsNow();
  EXPECT_EQ(scene.Esito(job), scene.Esito(complete));
  EXPECT_EQ(Results(job.header), Results(complete.header));
  EXPECT_EQ(Results(job.row), Results(complete.row));
  EXPECT_TRUE(std::filesystem::is_empty(trace.path()));
}

}  // namespace vorlabws::testing
