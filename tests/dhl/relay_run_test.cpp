// The relay run of a DHL label job through a copy of the worker in a program folder whose path
// holds a blank, with small relays written by the tests: what the relay receives, how the job
// ends when the relay writes a reply, fails, writes nothing, hangs or is missing, and the request
// file the relay is given.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

constexpr char kAddress[] = "https://dhl.test/sndpt/DocumentRendering?account=1";

// A reply with routing values and one print document ("^XA^FDterzo^FS^XZ").
const std::string kReply = ReplyDocument(
    "<Data><Entry Name=\"PRODUCT_NAME\" Value=\"EXPRESS WORLDWIDE\"/>"
    "<Entry Name=\"DEST_SRVA_CODE\" Value=\"MUC\"/></Data>"
    "<PrintDocument PrintCommand=\"XlhBXkZEdGVyem9eRlNeWFo=\"/>");

class RelayRunTest : public ::testing::Test {
 protected:
  RelayRunTest()
      : program_(folder_.path() + "program folder/"),
        database_(Engine::kEmbedded, folder_.path() + "archivio.fdb") {
    AddDhlJob(database_, 15, 2);
  }

  WorkerRun RunJob(std::vector<std::pair<std::string, std::string>> environment = {}) {
    environment.emplace_back("VORLABWS_DHL_URL", kAddress);
    StartOptions options;
    options.environment = std::move(environment);
    return program_.Run({database_.connection(), "15", "2"}, options);
  }
  std::u16string Esito() {
    return database_.Value("SELECT ESITO FROM VORLABR WHERE TESTATA=15 AND RIGA=2", "ESITO");
  }
  // A relay that writes down what it received, then does `then`.
  void InstallRelay(const std::string& then) {
    program_.WriteFile("canned.xml", kReply);
    program_.InstallRelayScript("printf '%s\\n' \"$#\" \"$@\" > \"" + program_.path() +
                                "arguments.txt\"\n" + then);
  }

  TempFolder folder_;
  ProgramFolderCopy program_;
  JobDatabase database_;
};

TEST_F(RelayRunTest, Outcomes) {
  const std::string reply = program_.path() + "data/out/dhl_15_2.txt";
  const std::string copy_reply = "cp \"" + program_.path() + "canned.xml\" \"$2/out/$3\"";
  const std::string missing_reply =
      "vorlabws::FileError: Cannot open " + reply + ": No such file or directory\r\n";
  struct Row {
    const char* name;
    std::string relay;  // the script's lines; empty: no relay at all
    int exit_code;
    std::string standard_output;
    std::u16string esito;
  };
  const Row rows[] = {
      {"a reply, exit status 0", copy_reply, 0, "", u"000 - Completato"},
      {"a reply, exit status 5: the reply alone decides", copy_reply + "\nexit 5", 0, "",
       u"000 - Completato"},
      {"no reply, exit status 1", "exit 1", 2, missing_reply, u""},
      {"no reply, the relay's reason on standard error, on one line",
       "printf 'first reason\\r\\n\\nsecond reason\\n' >&2; exit 1", 2,
       "vorlabws::FileError: Cannot open " + reply +
           ": No such file or directory; the relay said: first reason / second reason\r\n",
       u""},
      {"no reply, exit status 0", "exit 0", 2, missing_reply, u""},
      {"killed by a signal", "kill -9 $$", 2, missing_reply, u""},
      {"no relay", "", 3, "", u"002 - Errore nell\u00B4accesso ai webservice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    database_.Execute("UPDATE VORLABR SET ESITO=NULL");
    std::filesystem::remove(program_.path() + "Relayer.exe");
    if (!row.relay.empty()) InstallRelay(row.relay);
    // A reply left by an earlier run must not pass for this run's.
    program_.WriteFile("data/out/dhl_15_2.txt", kReply);

    const WorkerRun run = RunJob();
    EXPECT_EQ(run.exit_code, row.exit_code);
    EXPECT_EQ(run.standard_output, row.standard_output);
    EXPECT_EQ(run.standard_error, "");
    EXPECT_EQ(Esito(), row.esito);
    if (row.exit_code == 2) {
      EXPECT_FALSE(program_.Exists("data/out/dhl_15_2.txt"));
    }
  }
}

TEST_F(RelayRunTest, RelayReceivesThreeExactArguments) {
  InstallRelay("exit 1");
  const std::string default_address =
      std::string("https://") + VORLABWS_DHL_HOST + ":443/sndpt/DocumentRendering";
  struct Row {
    const char* name;
    std::vector<std::string> removed_environment;
    std::string address;
  };
  const Row rows[] = {
      {"the address from VORLABWS_DHL_URL", {}, kAddress},
      {"the built-in address", {"VORLABWS_DHL_URL"}, default_address},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StartOptions options;
    options.removed_environment = row.removed_environment;
    if (row.removed_environment.empty()) options.environment = {{"VORLABWS_DHL_URL", kAddress}};
    program_.Run({database_.connection(), "15", "2"}, options);
    EXPECT_EQ(program_.ReadFile("arguments.txt"),
              "3\n" + row.address + "\n" + program_.path() + "data\ndhl_15_2.txt\n");
  }
}

TEST_F(RelayRunTest, RelayStillRunningAtTheBoundIsEnded) {
  struct Row {
    const char* name;
    std::string relay;
  };
  const Row rows[] = {
      {"ends on the request to end", "exec sleep 60"},
      {"ignores the request to end", "trap '' TERM\nwhile :; do sleep 1; done"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    database_.Execute("UPDATE VORLABR SET ESITO=NULL");
    InstallRelay(row.relay);
    const auto started = std::chrono::steady_clock::now();
    const WorkerRun run = RunJob({{"VORLABWS_DHL_RELAY_TIMEOUT", "1"}});
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(run.exit_code, 3);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(Esito(), u"002 - Errore nell\u00B4accesso ai webservice");
    // Bound 1 s and 5 s of grace; the relay alone would run a minute or for ever.
    EXPECT_LT(took, std::chrono::seconds(20));
  }
}

// A relay that leaves a child behind must not leave the worker's database, the engine's lock
// files or a socket held by it.
TEST_F(RelayRunTest, RelayGetsTheStandardStreamsAndNothingElse) {
  std::filesystem::copy_file(DESCRIPTOR_RELAY, program_.path() + "Relayer.exe",
                             std::filesystem::copy_options::overwrite_existing);
  const WorkerRun run = RunJob();
  const pid_t descendant = std::stoi(program_.ReadFile("descendant.pid"));
  ASSERT_GT(descendant, 1);
  struct Ender {
    pid_t pid;
    ~Ender() { ::kill(pid, SIGKILL); }
  } ender{descendant};

  EXPECT_EQ(program_.ReadFile("descriptors.txt"), "0\n1\n2\n");
  EXPECT_EQ(run.exit_code, 2);
  // While the descendant still runs, the embedded engine opens the file.
  EXPECT_EQ(::kill(descendant, 0), 0);
  EXPECT_NO_THROW(database_.Execute("UPDATE VORLABR SET ESITO='aperto' WHERE TESTATA=15"));
  EXPECT_EQ(Esito(), u"aperto");
}

TEST_F(RelayRunTest, BoundThatIsNotANumberOfSeconds) {
  InstallRelay("exit 1");
  for (const char* bound : {"soon", "0", "-5", "1.5", "9999999"}) {
    SCOPED_TRACE(bound);
    const WorkerRun run = RunJob({{"VORLABWS_DHL_RELAY_TIMEOUT", bound}});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.standard_output, std::string("vorlabws::Failure: VORLABWS_DHL_RELAY_TIMEOUT '") +
                                       bound + "' is not a number of seconds\r\n");
    EXPECT_FALSE(program_.Exists("arguments.txt"));
  }
}

TEST_F(RelayRunTest, RequestFile) {
  InstallRelay("exit 1");
  struct Row {
    const char* name;
    std::string request_template;
    std::string request;
  };
  const Row rows[] = {
      {"LF line ends, no final line break", "<City>@DEST_CITY_NAME@</City>\n<Id>@SHIPMENT_ID@</Id>",
       "<City>M\xC3\xBCnchen</City>\r\n<Id>123456789</Id>\r\n"},
      {"Windows-1252 template, CR and CR LF line ends",
       "<Note>Citt\xE0</Note>\r<Street>@DEST_STREET_NAME@</Street>\r\n",
       "<Note>Citt\xC3\xA0</Note>\r\n<Street>Leopoldstra\xC3\x9F"
       "e</Street>\r\n"},
      {"UTF-8 template with a byte-order mark", "\xEF\xBB\xBF<Name>@RECEIVER_ADDRESS1@</Name>",
       "<Name>M\xC3\xBCller GmbH</Name>\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    program_.WriteFile("data/dhl_template.txt", row.request_template);
    RunJob();
    EXPECT_EQ(program_.ReadFile("data/dhl_15_2.txt"), row.request);
  }
}

}  // namespace
}  // namespace vorlabws::testing
