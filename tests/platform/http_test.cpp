#include "platform/http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/code_page.h"
#include "platform/process.h"
#include "tests/support/closed_port.h"
#include "tests/support/test_support.h"

namespace vorlabws {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// A real HTTP server on a free loopback port, in this process, with the answers the client meets:
// an echo of what it received, a plain page, a 404 whose body never comes, a reply that never
// comes, and the client port of the connection a request arrived on.
class LoopbackServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Post("/echo", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(request.get_header_value("Content-Type") + "|" +
                               request.get_header_value("SOAPAction") + "|" +
                               request.get_header_value("Expect") + "|" +
                               request.get_header_value("Content-Length") + "|" + request.body,
                           "text/xml; charset=utf-8");
    });
    server_.Get("/page", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<html/>", "text/html");
    });
    server_.Get("/missing", [this](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content_provider(1000000, "text/html",
                                    [this](size_t, size_t, httplib::DataSink& sink) {
                                      sink.write("<html>", 6);
                                      WaitForTearDown();
                                      return false;
                                    });
    });
    server_.Get("/stall",
                [this](const httplib::Request&, httplib::Response&) { WaitForTearDown(); });
    server_.Get("/port", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(std::to_string(request.remote_port), "text/plain");
    });
    server_.set_keep_alive_max_count(100);
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    listener_ = std::thread([this] { server_.listen_after_bind(); });
  }

  void TearDown() override {
    stopping_ = true;
    server_.stop();
    listener_.join();
  }

  void WaitForTearDown() {
    while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

  std::u16string Url(const std::string& path) const {
    return Utf8ToUtf16("http://127.0.0.1:" + std::to_string(port_) + path);
  }

  httplib::Server server_;
  int port_ = 0;
  std::thread listener_;
  std::atomic<bool> stopping_ = false;
};

TEST_F(LoopbackServer, PostSendsHeadersAndBodyAndReadsTheReply) {
  // Large enough that curl would otherwise hold it back for a "100 Continue".
  const std::string body = "<x>\xC3\xA8" + std::string(2000000, ' ') + "</x>";
  HttpClient client;
  const HttpResponse response = client.Post(
      Url("/echo"),
      {{u"Content-Type", u"text/xml; charset=\"utf-8\""}, {u"SOAPAction", u"\"urn:a\""}}, body);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.status_text, u"OK");
  EXPECT_EQ(response.content_type, u"text/xml; charset=utf-8");
  EXPECT_EQ(response.body, "text/xml; charset=\"utf-8\"|\"urn:a\"||2000009|" + body);
}

// One request read off a loopback socket as it came over the wire, before any HTTP library parses
// it, and answered with an empty 200.
class RawRequestCapture {
 public:
  RawRequestCapture() : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("no loopback socket");
    }
    port_ = ntohs(address.sin_port);
    reader_ = std::thread([this] { ReadOneRequest(); });
  }
  ~RawRequestCapture() {
    reader_.join();
    ::close(listener_);
  }

  std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::u16string Url() const { return Utf8ToUtf16("http://" + HostAndPort() + "/raw"); }
  // The request line and headers, each line ending in CR LF, once the reply has been read.
  const std::string& head() const { return head_; }
  size_t body_size() const { return body_size_; }

 private:
  void ReadOneRequest() {
    const int connection = ::accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    std::string received;
    size_t head_end;
    char buffer[65536];
    while ((head_end = received.find("\r\n\r\n")) == std::string::npos) {
      const ssize_t got = ::read(connection, buffer, sizeof buffer);
      if (got <= 0) break;
      received.append(buffer, got);
    }
    if (head_end != std::string::npos) {
      head_ = received.substr(0, head_end + 2);
      const size_t length_at = head_.find("Content-Length: ");
      const size_t length =
          length_at == std::string::npos ? 0 : std::stoul(head_.substr(length_at + 16));
      body_size_ = received.size() - head_end - 4;
      while (body_size_ < length) {
        const ssize_t got = ::read(connection, buffer, sizeof buffer);
        if (got <= 0) break;
        body_size_ += static_cast<size_t>(got);
      }
    }
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    ::write(connection, reply.data(), reply.size());
    ::close(connection);
  }

  int listener_;
  int port_ = 0;
  std::string head_;
  size_t body_size_ = 0;
  std::thread reader_;
};

// A strict server refuses an empty header, and an Expect holds the body back for a second.
TEST(HttpClientWire, PostCarriesOnlyTheStandardHeadersAndTheCallersAndSendsTheBodyAtOnce) {
  const std::string body(1000000, 'x');
  RawRequestCapture capture;
  HttpClient client;
  const auto start = Clock::now();
  const HttpResponse response = client.Post(
      capture.Url(), {{u"Content-Type", u"text/xml; charset=\"utf-8\""}, {u"SOAPAction", u"\"\""}},
      body);
  const auto took = Clock::now() - start;

  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(capture.head(),
            "POST /raw HTTP/1.1\r\n"
            "Host: " +
                capture.HostAndPort() +
                "\r\n"
                "User-Agent: VorlabWS\r\n"
                "Accept: */*\r\n"
                "Content-Type: text/xml; charset=\"utf-8\"\r\n"
                "SOAPAction: \"\"\r\n"
                "Content-Length: 1000000\r\n");
  EXPECT_EQ(capture.body_size(), body.size());
  EXPECT_LT(took, std::chrono::milliseconds(900));
}

TEST_F(LoopbackServer, GetReadsStatusContentTypeAndBody) {
  HttpClient client;
  const HttpResponse response = client.Get(Url("/page"));
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.content_type, u"text/html");
  EXPECT_EQ(response.body, "<html/>");
  const HttpResponse absent = client.Get(Url("/nowhere"));
  EXPECT_EQ(absent.status, 404);
  EXPECT_EQ(absent.status_text, u"Not Found");
}

TEST_F(LoopbackServer, OneClientKeepsItsConnectionAlive) {
  HttpClient client;
  const std::string first = client.Get(Url("/port")).body;
  client.Post(Url("/echo"), {}, "x");
  EXPECT_EQ(client.Get(Url("/port")).body, first);
  HttpClient other;
  EXPECT_NE(other.Get(Url("/port")).body, first);
}

TEST_F(LoopbackServer, UnwantedBodyIsNotWaitedFor) {
  HttpClient client(HttpTimeouts{seconds(60), seconds(30)});
  const auto start = Clock::now();
  const HttpResponse response =
      client.Get(Url("/missing"), [](long status) { return status <= 299; });
  EXPECT_LT(Clock::now() - start, seconds(5));
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.status_text, u"Not Found");
  EXPECT_EQ(response.content_type, u"text/html");
  EXPECT_EQ(response.body, "");
  // The client stays usable after dropping that connection.
  EXPECT_EQ(client.Get(Url("/page")).body, "<html/>");
}

TEST_F(LoopbackServer, ReplyThatNeverComesEndsAfterTheStallTime) {
  HttpClient client(HttpTimeouts{seconds(60), seconds(1)});
  const auto start = Clock::now();
  try {
    client.Get(Url("/stall"));
    FAIL() << "no failure";
  } catch (const HttpError& error) {
    EXPECT_EQ(error.what(), "Timeout was reached - URL:" + Utf16ToUtf8(Url("/stall")));
  }
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_LT(elapsed, seconds(5));
}

TEST(HttpClientErrors, RefusedConnectionNamesTheUrl) {
  const testing::ClosedPort closed;
  const std::string url = "http://127.0.0.1:" + std::to_string(closed.port()) + "/x";

  HttpClient client;
  try {
    client.Post(Utf8ToUtf16(url), {}, "x");
    ADD_FAILURE() << "no failure";
  } catch (const HttpError& error) {
    EXPECT_EQ(error.what(), "Couldn't connect to server - URL:" + url);
  }
  try {
    client.Get(u"notascheme://host/");
    ADD_FAILURE() << "no failure";
  } catch (const HttpError& error) {
    EXPECT_STREQ(error.what(), "Unsupported protocol - URL:notascheme://host/");
  }
}

TEST(HttpProbe, RefusedConnectionNamesTheUrl) {
  const testing::ClosedPort closed;
  const std::string url = "https://127.0.0.1:" + std::to_string(closed.port()) + "/";
  try {
    ProbeConnection(Utf8ToUtf16(url));
    ADD_FAILURE() << "no failure";
  } catch (const HttpError& error) {
    EXPECT_EQ(error.what(), "Couldn't connect to server - URL:" + url);
  }
}

// The DHL host cannot be reached here: a TLS server of the test's own, with a certificate no
// authority signed, shows that the probe's handshake checks the certificate.
TEST(HttpProbe, TlsHandshakeChecksTheCertificate) {
  const testing::TempFolder folder;
  const std::string key = folder.path() + "key.pem";
  const std::string certificate = folder.path() + "certificate.pem";
  const ProcessResult made = RunProcess(
      u"/usr/bin/openssl",
      {u"req", u"-x509", u"-newkey", u"rsa:2048", u"-nodes", u"-days", u"1", u"-subj",
       u"/CN=127.0.0.1", u"-keyout", Utf8ToUtf16(key), u"-out", Utf8ToUtf16(certificate)},
      StartOptions{.capture_output = true});
  ASSERT_EQ(made.exit_code, 0) << made.standard_error;
  httplib::SSLServer server(certificate.c_str(), key.c_str());
  std::atomic<int> requests = 0;
  server.Get("/", [&](const httplib::Request&, httplib::Response&) { ++requests; });
  const int port = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  std::thread listener([&] { server.listen_after_bind(); });
  const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/";
  try {
    ProbeConnection(Utf8ToUtf16(url));
    ADD_FAILURE() << "no failure";
  } catch (const HttpError& error) {
    EXPECT_EQ(error.what(), "SSL peer certificate or SSH remote key was not OK - URL:" + url);
  }
  server.stop();
  listener.join();
  EXPECT_EQ(requests, 0);
}

}  // namespace
}  // namespace vorlabws
