// The relay executable on its own: what it posts and where it leaves the reply, and the one line
// it reports when it cannot, against real HTTP and HTTPS servers on loopback.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <thread>

#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/dhl/dhl_test_support.h"

namespace vorlabws::testing {
namespace {

namespace fs = std::filesystem;

// A server on a free loopback port, answering on its own thread until the object goes.
template <typename Server>
class Serving {
 public:
  template <typename... Arguments>
  explicit Serving(Arguments&&... arguments) : server_(std::forward<Arguments>(arguments)...) {}
  ~Serving() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }
  Server& server() { return server_; }
  // Starts listening; the service address of the given scheme.
  std::string Start(const std::string& scheme) {
    const int port = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // Stopping a server that is not running yet would not stop it.
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return scheme + "://127.0.0.1:" + std::to_string(port) + "/sndpt/DocumentRendering";
  }

 private:
  Server server_;
  std::thread thread_;
};

class RelayerTest : public ::testing::Test {
 protected:
  RelayerTest() {
    fs::create_directories(data_ + "out");
    WriteFile(data_ + "dhl_15_2.txt", kRequest);
  }

  ProcessResult Relay(const std::vector<std::string>& arguments) {
    std::vector<std::u16string> wide;
    for (const std::string& argument : arguments) wide.push_back(Utf8ToUtf16(argument));
    return RunProcess(Utf8ToUtf16(ProgramFolderOfBuild() + "Relayer.exe"), wide);
  }
  static void WriteFile(const std::string& path, const std::string& bytes) {
    WriteFileBytes(Utf8ToUtf16(path), bytes);
  }
  // The names in data/out/.
  std::vector<std::string> OutFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(data_ + "out")) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  const std::string kRequest = "<Request>M\xC3\xBCnchen</Request>\r\n";
  TempFolder folder_;
  const std::string data_ = folder_.path() + "data folder/";
};

TEST_F(RelayerTest, PostsTheRequestAndLeavesTheReply) {
  Serving<httplib::Server> service;
  std::string method, path, content_type, body;
  service.server().Post("/sndpt/DocumentRendering",
                        [&](const httplib::Request& request, httplib::Response& response) {
                          method = request.method;
                          path = request.path;
                          content_type = request.get_header_value("Content-Type");
                          body = request.body;
                          response.set_content("<Reply>ok</Reply>", "text/xml");
                        });
  const std::string address = service.Start("http");
  // An earlier reply is replaced whole.
  WriteFile(data_ + "out/dhl_15_2.txt", "an earlier, longer reply of the same job");

  const ProcessResult run = Relay({address, folder_.path() + "data folder", "dhl_15_2.txt"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.standard_error, "");
  EXPECT_EQ(method, "POST");
  EXPECT_EQ(path, "/sndpt/DocumentRendering");
  EXPECT_EQ(content_type, "text/xml; charset=utf-8");
  EXPECT_EQ(body, kRequest);
  EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(data_ + "out/dhl_15_2.txt")), "<Reply>ok</Reply>");
  EXPECT_EQ(OutFolder(), std::vector<std::string>{"dhl_15_2.txt"});
}

TEST_F(RelayerTest, ReportsOneLineAndLeavesNoReply) {
  Serving<httplib::Server> failing;
  failing.server().Post("/sndpt/DocumentRendering",
                        [](const httplib::Request&, httplib::Response& response) {
                          response.status = 503;
                          response.set_content("<Reply>busy</Reply>", "text/xml");
                        });
  const std::string failing_address = failing.Start("http");
  std::string closed_address;
  {
    Serving<httplib::Server> gone;
    closed_address = gone.Start("http");
  }
  const std::string data = folder_.path() + "data folder";
  struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string line;
  };
  const Row rows[] = {
      {"two arguments",
       {failing_address, data},
       "Relayer.exe: usage: Relayer.exe ADDRESS DATA_FOLDER REQUEST_FILE\n"},
      {"no request file",
       {failing_address, data, "dhl_15_3.txt"},
       "Relayer.exe: Cannot open " + data + "/dhl_15_3.txt: No such file or directory\n"},
      {"an error status",
       {failing_address, data, "dhl_15_2.txt"},
       "Relayer.exe: " + failing_address + " answered 503 Service Unavailable\n"},
      {"no service",
       {closed_address, data, "dhl_15_2.txt"},
       "Relayer.exe: Couldn't connect to server - URL:" + closed_address + "\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProcessResult run = Relay(row.arguments);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.standard_output, "");
    EXPECT_EQ(run.standard_error, row.line);
    EXPECT_EQ(OutFolder(), std::vector<std::string>{});
  }
}

// An error answer becomes the reply only when the job will read it as the service's refusal.
TEST_F(RelayerTest, KeepsAnErrorAnswerThatNamesTheServicesRefusal) {
  const std::string refusal = ReplyDocument(
      "<Message Category=\"Validation Error\" Description=\"Receiver postcode is missing\"/>");
  struct Row {
    const char* name;
    int status;
    std::string body;
    std::string content_type;
    bool kept;
  };
  const Row rows[] = {
      {"a refusal", 500, refusal, "text/xml", true},
      {"an error message", 400, ReplyDocument("<Message Category=\"Error\"/>"), "text/xml", true},
      {"a reply without an error message", 500,
       ReplyDocument("<Message Category=\"Warning\" Description=\"late\"/>"), "text/xml", false},
      {"a page that is well-formed XML", 503, "<html><body><p>busy</p></body></html>", "text/html",
       false},
      {"a refusal cut off", 500, refusal.substr(0, refusal.size() / 2), "text/xml", false},
      {"a Validation Error without its description", 500,
       ReplyDocument("<Message Category=\"Validation Error\"/>"), "text/xml", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove(data_ + "out/dhl_15_2.txt");
    Serving<httplib::Server> service;
    service.server().Post("/sndpt/DocumentRendering",
                          [&row](const httplib::Request&, httplib::Response& response) {
                            response.status = row.status;
                            response.set_content(row.body, row.content_type.c_str());
                          });
    const std::string address = service.Start("http");

    const ProcessResult run = Relay({address, folder_.path() + "data folder", "dhl_15_2.txt"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.standard_error.starts_with("Relayer.exe: " + address + " answered " +
                                               std::to_string(row.status) + " "))
        << run.standard_error;
    if (row.kept) {
      EXPECT_EQ(ReadFileBytes(Utf8ToUtf16(data_ + "out/dhl_15_2.txt")), row.body);
      EXPECT_EQ(OutFolder(), std::vector<std::string>{"dhl_15_2.txt"});
    } else {
      EXPECT_EQ(OutFolder(), std::vector<std::string>{});
    }
  }
}

TEST_F(RelayerTest, RefusesACertificateTheSystemDoesNotTrust) {
  const std::string certificate = folder_.path() + "certificate.pem";
  const std::string key = folder_.path() + "key.pem";
  const ProcessResult made = RunProcess(
      u"/usr/bin/openssl", {u"req", u"-x509", u"-newkey", u"rsa:2048", u"-nodes", u"-days", u"1",
                            u"-subj", u"/CN=127.0.0.1", u"-addext", u"subjectAltName=IP:127.0.0.1",
                            u"-keyout", Utf8ToUtf16(key), u"-out", Utf8ToUtf16(certificate)});
  ASSERT_EQ(made.exit_code, 0) << made.standard_error;
  Serving<httplib::SSLServer> service(certificate.c_str(), key.c_str());
  ASSERT_TRUE(service.server().is_valid());
  bool reached = false;
  service.server().Post("/sndpt/DocumentRendering",
                        [&](const httplib::Request&, httplib::Response& response) {
                          reached = true;
                          response.set_content("<Reply/>", "text/xml");
                        });
  const std::string address = service.Start("https");

  const ProcessResult run = Relay({address, folder_.path() + "data folder", "dhl_15_2.txt"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(
      run.standard_error,
      "Relayer.exe: SSL peer certificate or SSH remote key was not OK - URL:" + address + "\n");
  EXPECT_FALSE(reached);
  EXPECT_EQ(OutFolder(), std::vector<std::string>{});
}

}  // namespace
}  // namespace vorlabws::testing
