// A stand-in for the BRT routing and label service, on loopback, for tests and demonstrations.
//
//   brt-standin PORT [--actions pattern|own|none] [--body-namespace URI]
//                    [--misbehave fault|404|html|nil|other-child-name|hang|garbage]
//                    [--description full|without-port]
//
// PORT 0 picks a free port. The first line on standard output is "listening on 127.0.0.1:PORT".
// GET /easyspeddews?wsdl serves the service description, POST /easyspeddews the service; every
// request is checked against the contract and a wrong one is answered with a client fault (500).
// --actions chooses the SOAP actions published and required (the registered pattern, the
// stand-in's own, or none published and the pattern required); --body-namespace puts the operation
// elements in another namespace, published on the input bodies. --misbehave makes every valid SOAP
// request meet one fault: a server fault (500), a 404 whose body never completes, a text/html
// page, a nil result, a result element named "Result", no answer at all, or a reply envelope cut
// off halfway. --description without-port leaves the service's port out of the description.
// GET /stats reports "connections N" and "requests M" (WSDL and SOAP requests, and the distinct
// client connections they came on); GET /received/N the body of the N-th SOAP request as it
// arrived (from 1; 404 past the last). The routing table and the label layout are in answers.h.
#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "platform/code_page.h"
#include "tools/brt-standin/answers.h"
#include "tools/brt-standin/service_description.h"

namespace vorlabws::standin {
namespace {

constexpr char kXmlContentType[] = "text/xml; charset=utf-8";

std::atomic<bool> stopping = false;

void WaitUntilStopping() {
  while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// Requests and the distinct client connections (address and port) they arrived on.
class Traffic {
 public:
  void Count(const httplib::Request& request) {
    const std::lock_guard lock(mutex_);
    ++requests_;
    connections_.insert({request.remote_addr, request.remote_port});
  }
  void Keep(const httplib::Request& request) {
    const std::lock_guard lock(mutex_);
    soap_bodies_.push_back(request.body);
  }
  std::optional<std::string> Received(size_t number) {
    const std::lock_guard lock(mutex_);
    if (number == 0 || number > soap_bodies_.size()) return std::nullopt;
    return soap_bodies_[number - 1];
  }
  std::string Report() {
    const std::lock_guard lock(mutex_);
    return "connections " + std::to_string(connections_.size()) + "\nrequests " +
           std::to_string(requests_) + "\n";
  }

 private:
  std::mutex mutex_;
  size_t requests_ = 0;
  std::set<std::pair<std::string, int>> connections_;
  std::vector<std::string> soap_bodies_;
};

struct Misbehaviours {
  const char* name;
  Misbehaviour value;
};
constexpr Misbehaviours kMisbehaviours[] = {{"fault", Misbehaviour::kFault},
                                            {"404", Misbehaviour::kNotFound},
                                            {"html", Misbehaviour::kHtml},
                                            {"nil", Misbehaviour::kNil},
                                            {"other-child-name", Misbehaviour::kOtherChildName},
                                            {"hang", Misbehaviour::kHang},
                                            {"garbage", Misbehaviour::kGarbage}};

[[noreturn]] void Usage() {
  std::cerr << "usage: brt-standin PORT [--actions pattern|own|none] [--body-namespace URI]\n"
               "                        [--misbehave fault|404|html|nil|other-child-name|hang|"
               "garbage]\n"
               "                        [--description full|without-port]\n";
  std::exit(2);
}

Options ReadCommandLine(int argc, char** argv) {
  if (argc < 2) Usage();
  Options options;
  try {
    options.port = std::stoi(argv[1]);
  } catch (const std::exception&) {
    Usage();
  }
  for (int i = 2; i < argc; i += 2) {
    if (i + 1 == argc) Usage();
    const std::string option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--actions" && value == "pattern") {
      options.actions = Actions::kPattern;
    } else if (option == "--actions" && value == "own") {
      options.actions = Actions::kOwn;
    } else if (option == "--actions" && value == "none") {
      options.actions = Actions::kNone;
    } else if (option == "--body-namespace" && !value.empty()) {
      options.body_namespace = Utf8ToUtf16(value);
    } else if (option == "--description" && (value == "full" || value == "without-port")) {
      options.port_published = value == "full";
    } else if (option == "--misbehave") {
      const auto found = std::find_if(std::begin(kMisbehaviours), std::end(kMisbehaviours),
                                      [&](const Misbehaviours& m) { return value == m.name; });
      if (found == std::end(kMisbehaviours)) Usage();
      options.misbehaviour = found->value;
    } else {
      Usage();
    }
  }
  return options;
}

std::u16string Endpoint(const Options& options) {
  return u"http://127.0.0.1:" + Utf8ToUtf16(std::to_string(options.port)) +
         Utf8ToUtf16(kEndpointPath);
}

void Fault(httplib::Response& response, std::u16string_view code, const std::u16string& text,
           const Options& options, std::u16string_view detail) {
  response.status = 500;
  response.set_content(FaultEnvelope(code, text, Endpoint(options), detail), kXmlContentType);
}

// A 404 that announces a body and never completes it: only a client that gives up on the body at
// the status gets on.
void NotFoundForever(httplib::Response& response) {
  response.status = 404;
  response.set_content_provider(1000000, "text/html", [](size_t, size_t, httplib::DataSink& sink) {
    sink.write("<html>", 6);
    WaitUntilStopping();
    return false;
  });
}

void AnswerSoap(const Options& options, const httplib::Request& request,
                httplib::Response& response) {
  ReceivedCall call;
  try {
    call = CheckRequest(options, request.get_header_value("Content-Type"),
                        request.get_header_value("SOAPAction"), request.body);
  } catch (const RequestRejected& rejected) {
    Fault(response, u"Client", u"Invalid request: " + Utf8ToUtf16(rejected.what()), options,
          u"The request does not follow the service contract");
    return;
  }
  switch (options.misbehaviour) {
    case Misbehaviour::kFault:
      Fault(response, u"Server", u"Servizio temporaneamente non disponibile", options,
            u"Routing database offline");
      return;
    case Misbehaviour::kNotFound:
      NotFoundForever(response);
      return;
    case Misbehaviour::kHtml:
      response.set_content("<html><body>Service Unavailable</body></html>", "text/html");
      return;
    case Misbehaviour::kHang:
      WaitUntilStopping();
      return;
    case Misbehaviour::kGarbage: {
      const std::string reply = ReplyEnvelope(options, call);
      response.set_content(reply.substr(0, reply.size() / 2), kXmlContentType);
      return;
    }
    default:
      response.set_content(ReplyEnvelope(options, call), kXmlContentType);
  }
}

}  // namespace
}  // namespace vorlabws::standin

int main(int argc, char** argv) {
  using namespace vorlabws::standin;
  Options options = ReadCommandLine(argc, argv);

  // Termination is taken by a thread of its own, which stops the server so every handler ends.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  httplib::Server server;
  Traffic traffic;
  // Headers and body go out in separate writes: without this, each reply waits for the client's
  // delayed acknowledgement, tens of milliseconds a call that no real service would add.
  server.set_tcp_nodelay(true);
  server.set_keep_alive_max_count(1000);
  server.set_keep_alive_timeout(10);
  server.Get(kEndpointPath, [&](const httplib::Request& request, httplib::Response& response) {
    if (!request.has_param("wsdl")) {
      response.status = 404;
      return;
    }
    traffic.Count(request);
    response.set_content(WriteServiceDescription(options), kXmlContentType);
  });
  server.Post(kEndpointPath, [&](const httplib::Request& request, httplib::Response& response) {
    traffic.Count(request);
    traffic.Keep(request);
    AnswerSoap(options, request, response);
  });
  server.Get(R"(/received/(\d+))",
             [&](const httplib::Request& request, httplib::Response& response) {
               const auto body = traffic.Received(std::stoul(request.matches[1]));
               if (!body) {
                 response.status = 404;
                 return;
               }
               response.set_content(*body, "application/octet-stream");
             });
  server.Get("/stats", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(traffic.Report(), "text/plain");
  });

  if (options.port == 0) {
    options.port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", options.port)) {
    options.port = -1;
  }
  if (options.port <= 0) {
    std::cerr << "brt-standin: cannot listen on 127.0.0.1:" << argv[1] << "\n";
    return 1;
  }
  std::printf("listening on 127.0.0.1:%d\n", options.port);
  std::fflush(stdout);

  std::thread([&server, signals] {
    int received = 0;
    sigwait(&signals, &received);
    stopping = true;
    server.stop();
  }).detach();
  server.listen_after_bind();
  stopping = true;
  return 0;
}
