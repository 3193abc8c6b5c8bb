// A stand-in for the DHL document-rendering service, listening on loopback. Usage:
//   dhl-standin [PORT]      (0 or none: a free port)
// Prints the service address on its first line of standard output, then serves until it is ended.
// Query parameters of the address, for tests: reply=malformed (a cut document), delay_ms=N (answers
// after N milliseconds), document_bytes=N (print documents of at least N bytes), status=N (answers
// with that HTTP status and no reply).
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tools/dhl-standin/dhl_standin_reply.h"

namespace {

constexpr char kPath[] = "/sndpt/DocumentRendering";

size_t NumberParameter(const httplib::Request& request, const char* name) {
  return request.has_param(name) ? std::strtoull(request.get_param_value(name).c_str(), nullptr, 10)
                                 : 0;
}

void Answer(const httplib::Request& request, httplib::Response& response) {
  std::this_thread::sleep_for(std::chrono::milliseconds(NumberParameter(request, "delay_ms")));
  if (const size_t status = NumberParameter(request, "status"); status != 0) {
    response.status = static_cast<int>(status);
    return;
  }
  std::string reply = vorlabws::standin::RenderReply(
      request.body, {.document_bytes = NumberParameter(request, "document_bytes")});
  if (request.get_param_value("reply") == "malformed") reply.resize(reply.size() / 2);
  response.set_content(reply, "text/xml; charset=utf-8");
}

}  // namespace

int main(int argc, char** argv) {
  const int wanted_port = argc > 1 ? std::atoi(argv[1]) : 0;
  httplib::Server server;
  server.Post(kPath, Answer);
  const int port = wanted_port == 0
                       ? server.bind_to_any_port("127.0.0.1")
                       : (server.bind_to_port("127.0.0.1", wanted_port) ? wanted_port : -1);
  if (port < 0) {
    std::fprintf(stderr, "dhl-standin: cannot listen on 127.0.0.1:%d\n", wanted_port);
    return 1;
  }
  std::printf("http://127.0.0.1:%d%s\n", port, kPath);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
